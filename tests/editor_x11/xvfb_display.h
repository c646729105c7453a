// An X server of the test program's own: Xvfb on the first free display
// number (it reports the number it took), DISPLAY set to it, stopped when
// the tests end. [test main thread]
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern char** environ;

namespace editor_test {

class XvfbDisplay : public ::testing::Environment {
 public:
  void SetUp() override {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string program = "Xvfb";
    std::string fd = "3";
    char* arguments[] = {program.data(),
                         const_cast<char*>("-displayfd"),
                         fd.data(),
                         const_cast<char*>("-screen"),
                         const_cast<char*>("0"),
                         const_cast<char*>("1280x1024x24"),
                         const_cast<char*>("-nolisten"),
                         const_cast<char*>("tcp"),
                         nullptr};
    const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    ASSERT_EQ(spawned, 0) << "Xvfb is not installed (tools/setup.sh installs it)";
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
    ASSERT_GT(got, 0) << "Xvfb gave no display number";
    std::string display(number, static_cast<size_t>(got));
    display.erase(display.find_last_not_of("\n") + 1);
    setenv("DISPLAY", (":" + display).c_str(), 1);
  }

  void TearDown() override {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = 0;
  }

 private:
  pid_t pid_ = 0;
};

}  // namespace editor_test
