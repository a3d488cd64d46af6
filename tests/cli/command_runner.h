// Runs the built rendora program as a user would, and reads what it leaves behind.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace testing_support {

struct CommandResult {
  int status = -1;  // exit status, or 128 + signal
  std::string standardError;
};

// A started rendora process.
class RunningCommand {
 public:
  // Starts build/rendora with `arguments` in `folder`; standard error is collected.
  RunningCommand(const std::vector<std::string>& arguments, const std::string& folder);
  ~RunningCommand();
  RunningCommand(const RunningCommand&) = delete;
  RunningCommand& operator=(const RunningCommand&) = delete;

  pid_t pid() const { return m_pid; }
  void Signal(int signal) const;
  // Waits for the end (killing the process after `timeoutSeconds`).
  CommandResult Wait(int timeoutSeconds = 300);

 private:
  pid_t m_pid = -1;
  int m_errorPipe = -1;
  std::string m_error;
};

// Runs rendora to its end.
CommandResult RunRendora(const std::vector<std::string>& arguments, const std::string& folder,
                         int timeoutSeconds = 300);

// Makes this test process the reaper of orphans, so that a server or worker left behind by a
// command becomes its child and can be found.
void AdoptOrphans();
// The processes whose parent is this test process.
std::vector<pid_t> ChildProcesses();

// The lines of a JSON Lines file.
std::vector<std::string> ReadLines(const std::string& path);

// The regular files below `folder`, as paths relative to it, sorted.
std::vector<std::string> FilesBelow(const std::string& folder);

}  // namespace testing_support
