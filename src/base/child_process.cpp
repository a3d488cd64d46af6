// A child process owned like a C library handle.
#include "base/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>

namespace base {
namespace {

// Puts `fd` at `target` in the child, or /dev/null when there is none.
void Place(int fd, int target) {
  if (fd < 0) fd = open("/dev/null", O_RDWR);
  if (fd >= 0 && fd != target) dup2(fd, target);
  if (fd == target) fcntl(target, F_SETFD, 0);  // kept across exec
}

// In the child after fork: only async-signal-safe calls until exec.
[[noreturn]] void ExecChild(const ChildOptions& options, char* const* arguments, pid_t parent) {
  if (options.newSession) setsid();
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  // The parent may have died between fork and prctl.
  if (getppid() != parent) _exit(127);
  Place(options.standardInput, STDIN_FILENO);
  Place(options.standardOutput, STDOUT_FILENO);
  Place(options.standardError, STDERR_FILENO);
  if (options.keepOpen >= 0) fcntl(options.keepOpen, F_SETFD, 0);
  signal(SIGINT, options.ignoreInterrupt ? SIG_IGN : SIG_DFL);
  execvp(arguments[0], arguments);
  _exit(127);
}

}  // namespace

ChildProcess::~ChildProcess() { EndWithin(kDefaultGrace); }

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : m_pid(std::exchange(other.m_pid, -1)), m_status(other.m_status) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    EndWithin(kDefaultGrace);
    m_pid = std::exchange(other.m_pid, -1);
    m_status = other.m_status;
  }
  return *this;
}

bool ChildProcess::Start(const ChildOptions& options, std::string& error) {
  EndWithin(kDefaultGrace);
  if (options.command.empty()) {
    error = "no command";
    return false;
  }
  // Everything the child needs is made before fork: after it, the child may not allocate.
  std::vector<char*> arguments;
  for (const std::string& argument : options.command) {
    arguments.push_back(const_cast<char*>(argument.c_str()));
  }
  arguments.push_back(nullptr);
  const pid_t parent = getpid();
  const pid_t child = fork();
  if (child < 0) {
    error = std::strerror(errno);
    return false;
  }
  if (child == 0) ExecChild(options, arguments.data(), parent);
  m_pid = child;
  m_status = 0;
  return true;
}

void ChildProcess::Signal(int signal) const {
  if (m_pid > 0) kill(m_pid, signal);
}

bool ChildProcess::Ended() {
  if (m_pid <= 0) return true;
  int status = 0;
  const pid_t got = waitpid(m_pid, &status, WNOHANG);
  if (got == m_pid || (got < 0 && errno == ECHILD)) {
    m_status = status;
    m_pid = -1;
    return true;
  }
  return false;
}

void ChildProcess::EndWithin(std::chrono::milliseconds grace, bool terminate) {
  if (m_pid <= 0) return;
  if (terminate) Signal(SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + grace;
  while (!Ended() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (m_pid <= 0) return;
  // A killed process ends at once unless it sits in the kernel; a stopped one ends too.
  Signal(SIGKILL);
  int status = 0;
  while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
  }
  m_status = status;
  m_pid = -1;
}

}  // namespace base
