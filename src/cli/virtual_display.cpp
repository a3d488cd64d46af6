// A private virtual X server for a run without a window.
#include "cli/virtual_display.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace cli {
namespace {

// How long the server may take to say which display it took.
constexpr int kStartTimeoutMilliseconds = 15000;

// In the child: a session of its own, ended with its parent, then the server.
[[noreturn]] void ExecServer(int displayFd, pid_t parent, const std::string& screen) {
  setsid();
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  // The parent may have died between fork and prctl.
  if (getppid() != parent) _exit(127);
  const int devNull = open("/dev/null", O_RDWR);
  if (devNull >= 0) {
    dup2(devNull, STDIN_FILENO);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
  }
  const std::string fd = std::to_string(displayFd);
  execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
         "tcp", nullptr);
  _exit(127);
}

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

bool VirtualDisplay::Start(std::string& error, int width) {
  const std::string screen = std::to_string(width) + "x" + std::to_string(kScreenHeight) + "x24";
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) {
    error = std::strerror(errno);
    return false;
  }
  const pid_t parent = getpid();
  const pid_t child = fork();
  if (child < 0) {
    error = std::strerror(errno);
    close(pipeFds[0]);
    close(pipeFds[1]);
    return false;
  }
  if (child == 0) {
    close(pipeFds[0]);
    fcntl(pipeFds[1], F_SETFD, 0);  // the write end goes to the server
    ExecServer(pipeFds[1], parent, screen);
  }
  close(pipeFds[1]);
  m_pid = child;
  std::string number;
  const bool ready = ReadDisplayNumber(pipeFds[0], number);
  close(pipeFds[0]);
  if (!ready) {
    error = "Xvfb が起動しませんでした（xvfb パッケージが必要です）";
    Stop();
    return false;
  }
  m_name = ":" + number;
  setenv("DISPLAY", m_name.c_str(), 1);
  return true;
}

void VirtualDisplay::Stop() {
  if (m_pid <= 0) return;
  kill(m_pid, SIGTERM);
  int status = 0;
  // A server that does not end within a second is killed.
  for (int i = 0; i < 100; ++i) {
    if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
      m_pid = -1;
      return;
    }
    usleep(10000);
  }
  kill(m_pid, SIGKILL);
  waitpid(m_pid, &status, 0);
  m_pid = -1;
}

}  // namespace cli
