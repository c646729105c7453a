// An X server of the test program's own: Xvfb on the first free display
// number (it reports the number it took), DISPLAY set to it, stopped when
// the tests end. It ends with the test program even when that crashes: it
// runs in a process group of its own, is told to stop when its parent dies,
// and holds none of the test's output pipes, so the runner reading them
// does not wait for it. Every test file of a program registers one; the
// first starts the server and the others share it. [test main thread]
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace editor_test {

class XvfbDisplay : public ::testing::Environment {
 public:
  void SetUp() override {
    if (Started()) return;
    Started() = true;
    owner_ = true;
    int pipeEnds[2];
    ASSERT_EQ(pipe2(pipeEnds, O_CLOEXEC), 0);
    const int quiet = open("/dev/null", O_RDWR | O_CLOEXEC);
    ASSERT_GE(quiet, 0);
    const pid_t parent = getpid();
    pid_ = fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) RunServer(parent, pipeEnds[1], quiet);
    close(quiet);
    close(pipeEnds[1]);
    char number[16] = {};
    ssize_t got = 0;
    while (got < static_cast<ssize_t>(sizeof(number)) - 1) {
      const ssize_t n = read(pipeEnds[0], number + got, sizeof(number) - 1 - got);
      if (n <= 0 || number[got + n - 1] == '\n') {
        got += n > 0 ? n : 0;
        break;
      }
      got += n;
    }
    close(pipeEnds[0]);
    ASSERT_GT(got, 0)
        << "Xvfb gave no display number (is it installed? tools/setup.sh installs it)";
    std::string display(number, static_cast<size_t>(got));
    display.erase(display.find_last_not_of("\n") + 1);
    setenv("DISPLAY", (":" + display).c_str(), 1);
  }

  void TearDown() override {
    if (!owner_ || pid_ <= 0) return;
    kill(-pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = 0;
  }

 private:
  static bool& Started() {
    static bool started = false;
    return started;
  }

  // [the forked child] Only calls that are safe between fork and exec.
  [[noreturn]] static void RunServer(pid_t parent, int displayFd, int quiet) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    // The parent may have died before the request above took hold.
    if (getppid() != parent) _exit(1);
    dup2(quiet, 0);
    dup2(quiet, 1);
    dup2(quiet, 2);
    // dup2 onto the descriptor it already is would keep close-on-exec.
    if (displayFd == 3) {
      fcntl(3, F_SETFD, 0);
    } else {
      dup2(displayFd, 3);
    }
    char* const arguments[] = {const_cast<char*>("Xvfb"),
                               const_cast<char*>("-displayfd"),
                               const_cast<char*>("3"),
                               const_cast<char*>("-screen"),
                               const_cast<char*>("0"),
                               const_cast<char*>("1280x1024x24"),
                               const_cast<char*>("-nolisten"),
                               const_cast<char*>("tcp"),
                               // Without it the server resets whenever its
                               // last client leaves, turning away whoever
                               // connects meanwhile (the next test).
                               const_cast<char*>("-noreset"),
                               nullptr};
    execvp("Xvfb", arguments);
    _exit(127);
  }

  pid_t pid_ = 0;
  bool owner_ = false;
};

}  // namespace editor_test
