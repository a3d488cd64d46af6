// Runs one command and measures it whole: wall seconds and the CPU seconds of every process the
// command starts, however deep (the engine's own web and network processes, a virtual display),
// because this process becomes their child subreaper and reaps each of them.
//
//   bench_cpu_time RESULT_FILE COMMAND [ARGUMENT...]
//
// RESULT_FILE gets one line: "wall_seconds cpu_seconds user_seconds system_seconds exit_status".
// The exit status is the command's own, and this program ends with it.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
// How long descendants may outlive the command before they are ended.
constexpr std::chrono::seconds kLingerLimit{10};

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

// The processes this one is parent of now: the command's orphans that still run.
std::set<pid_t> Children() {
  std::set<pid_t> found;
  std::ifstream list("/proc/self/task/" + std::to_string(getpid()) + "/children");
  for (pid_t pid = 0; list >> pid;) found.insert(pid);
  return found;
}

// Reaps whatever has ended; gives the command's exit status once it has been reaped.
void ReapEnded(pid_t command, int& status, bool& commandEnded, bool block) {
  for (;;) {
    int childStatus = 0;
    const pid_t pid = waitpid(-1, &childStatus, block ? 0 : WNOHANG);
    if (pid <= 0) return;
    if (pid == command) {
      commandEnded = true;
      status = WIFEXITED(childStatus) ? WEXITSTATUS(childStatus) : 128 + WTERMSIG(childStatus);
    }
    if (block) return;
  }
}

// Waits for the command, then for its descendants; those still running past the limit are
// ended by their ids (they are this run's own processes) and reaped too.
int WaitForAll(pid_t command) {
  int status = 0;
  bool commandEnded = false;
  while (!commandEnded) ReapEnded(command, status, commandEnded, true);
  const auto deadline = Clock::now() + kLingerLimit;
  while (!Children().empty() && Clock::now() < deadline) {
    ReapEnded(command, status, commandEnded, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // Ending a process can orphan its own children to this one: repeat until none is left.
  for (int round = 0; round < 6; ++round) {
    const std::set<pid_t> left = Children();
    if (left.empty()) break;
    std::fprintf(stderr, "bench_cpu_time: %zu processes outlived the command; ending them\n",
                 left.size());
    for (pid_t pid : left) kill(pid, round < 2 ? SIGTERM : SIGKILL);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ReapEnded(command, status, commandEnded, false);
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_cpu_time RESULT_FILE COMMAND [ARGUMENT...]\n");
    return 2;
  }
  if (prctl(PR_SET_CHILD_SUBREAPER, 1) != 0) {
    std::perror("prctl(PR_SET_CHILD_SUBREAPER)");
    return 2;
  }
  const auto start = Clock::now();
  const pid_t command = fork();
  if (command < 0) {
    std::perror("fork");
    return 2;
  }
  if (command == 0) {
    execvp(argv[2], argv + 2);
    std::perror(argv[2]);
    _exit(127);
  }
  const int status = WaitForAll(command);
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  const double user = Seconds(usage.ru_utime), system = Seconds(usage.ru_stime);
  std::FILE* out = std::fopen(argv[1], "w");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 2;
  }
  std::fprintf(out, "%.3f %.3f %.3f %.3f %d\n", wall, user + system, user, system, status);
  std::fclose(out);
  return status;
}
