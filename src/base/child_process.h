// A child process owned like a C library handle: its holder ends and reaps it, never waiting
// without a deadline, and it never outlives the program that started it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "base/unique_fd.h"

namespace base {

// How a child is started.
struct ChildOptions {
  std::vector<std::string> command;  // the program (looked up in PATH) and its arguments
  int standardInput = -1;            // descriptors the child gets as 0, 1 and 2; -1: /dev/null
  int standardOutput = -1;           // for 0 and 1, the program's own for 2
  int standardError = 2;
  int keepOpen = -1;             // one more descriptor that stays open across exec (or -1)
  bool newSession = false;       // a session of its own: the terminal's Ctrl-C does not reach it
  bool ignoreInterrupt = false;  // SIGINT ignored: its parent decides when it stops
};

class ChildProcess {
 public:
  ChildProcess() = default;
  // Ends the child (see EndWithin) with a short grace.
  ~ChildProcess();
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts the child; it is killed when this program ends, even when this program is killed.
  // False (and `error` says why) when it could not be started. A command that cannot be run
  // starts a child that ends at once with status 127.
  bool Start(const ChildOptions& options, std::string& error);

  pid_t Pid() const { return m_pid; }
  bool Running() const { return m_pid > 0; }
  // Sends `signal` to a running child.
  void Signal(int signal) const;
  // True when the child has ended (it is reaped then); never waits.
  bool Ended();
  // Waits up to `grace` for the child to end by itself, then kills it, and reaps it in every
  // case: after this the child is gone. With `terminate` it is asked to end (SIGTERM) first.
  void EndWithin(std::chrono::milliseconds grace, bool terminate = false);
  // The child's exit status as waitpid gave it, once it ended.
  int Status() const { return m_status; }

  // How long the destructor grants a child that still runs.
  static constexpr std::chrono::milliseconds kDefaultGrace{200};

 private:
  pid_t m_pid = -1;
  int m_status = 0;
};

}  // namespace base
