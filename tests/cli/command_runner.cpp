// Runs the built rendora program as a user would, and reads what it leaves behind.
#include "cli/command_runner.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace testing_support {

RunningCommand::RunningCommand(const std::vector<std::string>& arguments,
                               const std::string& folder) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return;
  const std::string program = std::string(RENDORA_BINARY_DIR) + "/rendora";
  m_pid = fork();
  if (m_pid == 0) {
    dup2(pipeFds[1], STDERR_FILENO);
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDIN_FILENO);
    dup2(devNull, STDOUT_FILENO);
    if (chdir(folder.c_str()) != 0) _exit(126);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  m_errorPipe = pipeFds[0];
}

RunningCommand::~RunningCommand() {
  if (m_pid > 0) {
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
  }
  if (m_errorPipe >= 0) close(m_errorPipe);
}

void RunningCommand::Signal(int signal) const { kill(m_pid, signal); }

CommandResult RunningCommand::Wait(int timeoutSeconds) {
  CommandResult result;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  char buffer[4096];
  while (m_errorPipe >= 0) {
    pollfd wait{m_errorPipe, POLLIN, 0};
    poll(&wait, 1, 100);
    const ssize_t got = (wait.revents != 0) ? read(m_errorPipe, buffer, sizeof buffer) : 0;
    if (got > 0) m_error.append(buffer, static_cast<std::size_t>(got));
    if (wait.revents != 0 && got <= 0) break;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(m_pid, SIGKILL);
      break;
    }
  }
  int status = 0;
  waitpid(m_pid, &status, 0);
  m_pid = -1;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.standardError = m_error;
  // On the sanitized build the command and its render workers (which share its error output)
  // write their address, leak and undefined-behaviour reports there: any report fails the test.
  for (const char* report : {"Sanitizer", "runtime error:"}) {
    if (m_error.find(report) != std::string::npos) {
      ADD_FAILURE() << "sanitizer report from the command:\n" << m_error;
      break;
    }
  }
  return result;
}

CommandResult RunRendora(const std::vector<std::string>& arguments, const std::string& folder,
                         int timeoutSeconds) {
  RunningCommand command(arguments, folder);
  return command.Wait(timeoutSeconds);
}

void AdoptOrphans() { prctl(PR_SET_CHILD_SUBREAPER, 1); }

std::vector<pid_t> ChildProcesses() {
  // Orphans that have ended are reaped first: only living ones count.
  while (waitpid(-1, nullptr, WNOHANG) > 0) {
  }
  std::vector<pid_t> children;
  const pid_t self = getpid();
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename();
    if (name.empty() || !std::all_of(name.begin(), name.end(), ::isdigit)) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // "pid (comm) state ppid ...": the command name may hold blanks, so read after its ')'.
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    int parent = 0;
    if (std::sscanf(text.c_str() + close + 1, " %c %d", &state, &parent) != 2) continue;
    if (parent == self && state != 'Z') children.push_back(std::stoi(name));
  }
  return children;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream file(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> FilesBelow(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_regular_file()) {
      files.push_back(std::filesystem::relative(it->path(), folder).string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace testing_support
