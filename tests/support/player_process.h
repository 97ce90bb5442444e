// Runs the player executable (or any program) as a real child process for end-to-end tests:
// arguments, extra environment, captured output, a time limit.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace vorn::test {

struct ProcessResult {
  int exitStatus = -1;   // exit code, or 128 + signal, or -1 when it could not start
  bool timedOut = false;
  std::string out;       // standard output
  std::string err;       // standard error
};

struct ProcessOptions {
  std::vector<std::pair<std::string, std::string>> setEnv;  // added or replaced
  std::vector<std::string> unsetEnv;
  int timeoutSeconds = 60;
};

// Runs program with args and waits for it (killed after the time limit).
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const ProcessOptions& options = {});

// Starts program in the background with output discarded; returns its pid (or -1).
pid_t StartProcess(const std::string& program, const std::vector<std::string>& args);
// Ends a process started by StartProcess (SIGTERM, then SIGKILL after the limit); returns
// its exit status as RunProcess reports it.
int StopProcess(pid_t pid, int timeoutSeconds = 20);

// A fresh empty folder under the system's temporary folder; removed with its content by
// the destructor.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Writes a whole file (test fixtures only).
void WriteTextFile(const std::string& path, const std::string& text);
// Reads a whole file; empty when it is missing (a dump or trace the run did not write).
std::string ReadTextFile(const std::string& path);

}  // namespace vorn::test
