// A private virtual X server for a run without a window.
#include "cli/virtual_display.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "resources/texts.h"

namespace cli {
namespace {

// How long the server may take to say which display it took.
constexpr int kStartTimeoutMilliseconds = 15000;
// How long the server gets to end by itself when the run is over.
constexpr std::chrono::milliseconds kStopGrace{1000};

// Reads the display number the server writes to its pipe when it is ready.
bool ReadDisplayNumber(int fd, std::string& number) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMilliseconds);
  char buffer[32];
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd wait{fd, POLLIN, 0};
    const int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          deadline - std::chrono::steady_clock::now())
                                          .count());
    const int ready = poll(&wait, 1, left > 0 ? left : 0);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return !number.empty();
    for (ssize_t i = 0; i < got; ++i) {
      if (buffer[i] == '\n') return !number.empty();
      number += buffer[i];
    }
  }
  return false;
}

}  // namespace

VirtualDisplay::~VirtualDisplay() { Stop(); }

bool VirtualDisplay::Start(std::string& error, int width, int scale) {
  const std::string screen =
      std::to_string(width) + "x" + std::to_string(kScreenHeight * scale) + "x24";
  base::UniqueFd readEnd, writeEnd;
  if (!base::MakePipe(readEnd, writeEnd)) {
    error = std::strerror(errno);
    return false;
  }
  base::ChildOptions server;
  server.command = {"Xvfb",      "-displayfd", std::to_string(writeEnd.Get()),
                    "-screen",   "0",          screen,
                    "-nolisten", "tcp"};
  server.standardError = -1;
  server.keepOpen = writeEnd.Get();  // the server writes its display number there
  // A session of its own: the terminal's Ctrl-C reaches this program, not the server.
  server.newSession = true;
  if (!m_server.Start(server, error)) return false;
  writeEnd.Reset();
  std::string number;
  if (!ReadDisplayNumber(readEnd.Get(), number)) {
    error = resources::TextUtf8(resources::TextId::kCliXvfbNotStarted);
    Stop();
    return false;
  }
  m_name = ":" + number;
  setenv("DISPLAY", m_name.c_str(), 1);
  return true;
}

void VirtualDisplay::Stop() { m_server.EndWithin(kStopGrace, /*terminate=*/true); }

}  // namespace cli
