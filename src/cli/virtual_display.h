// A private virtual X server for a run without a window: started with a free display number,
// stopped at the end, and never outliving the program.
#pragma once

#include <string>

#include "base/child_process.h"

namespace cli {

class VirtualDisplay {
 public:
  VirtualDisplay() = default;
  ~VirtualDisplay();
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  // Starts the server (`width` x 1024, 24 bits, no TCP) in a session of its own, so that the
  // terminal's Ctrl-C reaches this program and not the server; the server is ended with this
  // program even when it is killed. Sets DISPLAY for this process and its children. False (and
  // `error` says why) when no server could be started. Pages see only the screen's height and
  // depth: a wider screen gives each of several views a place of its own.
  // With a device `scale` above 1 the screen is that many times higher, so that a page sees the
  // same height in its own pixels: the width is in device pixels already.
  bool Start(std::string& error, int width = kScreenWidth, int scale = 1);

  static constexpr int kScreenWidth = 1280;
  static constexpr int kScreenHeight = 1024;
  // Ends the server: it gets a second to end by itself, then it is killed.
  void Stop();

  bool Running() const { return m_server.Running(); }
  const std::string& Name() const { return m_name; }  // ":N"

 private:
  base::ChildProcess m_server;
  std::string m_name;
};

}  // namespace cli
