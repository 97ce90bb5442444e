// A forked owner of a private temporary folder, told by a pipe how to end.
#include "support/temp_owner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <stdexcept>

#include "resources/private_temp_folder.h"

namespace vorn::test {

TempFolderOwner::TempFolderOwner(const std::string& parent) {
  int up[2], down[2];
  if (pipe2(up, O_CLOEXEC) != 0 || pipe2(down, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    close(up[0]);
    close(down[1]);
    auto folder = PrivateTempFolder::Create(parent);
    std::string path = folder ? folder->Path() : std::string();
    if (folder) {
      if (FILE* f = std::fopen((path + "~vz00000000.mid").c_str(), "wb")) {
        std::fputs("MThd", f);
        std::fclose(f);
      }
    }
    path += '\n';
    (void)!write(up[1], path.data(), path.size());
    char how = 'c';
    if (read(down[0], &how, 1) != 1 || how == 'c') _exit(0);  // a crash: nothing is cleaned up
    folder.reset();
    _exit(0);
  }
  running_ = true;
  close(up[1]);
  close(down[0]);
  toChild_ = down[1];
  char c;
  while (read(up[0], &c, 1) == 1 && c != '\n') folder_ += c;
  close(up[0]);
  if (folder_.empty()) {
    Finish('c');
    throw std::runtime_error("the child could not make its folder");
  }
}

TempFolderOwner::~TempFolderOwner() {
  Finish('e');
}

void TempFolderOwner::Finish(char how) {
  if (!running_) return;
  (void)!write(toChild_, &how, 1);
  close(toChild_);
  int status = 0;
  waitpid(pid_, &status, 0);
  running_ = false;
}

void TempFolderOwner::Crash() { Finish('c'); }
void TempFolderOwner::End() { Finish('e'); }

void BackdateFolder(const std::string& folder) {
  struct timespec times[2];
  times[0].tv_sec = times[1].tv_sec = std::time(nullptr) - 3600;
  times[0].tv_nsec = times[1].tv_nsec = 0;
  utimensat(AT_FDCWD, folder.c_str(), times, 0);
}

}  // namespace vorn::test
