#include "editor_x11/url_launch.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

bool LaunchUrlOpener(const std::string& url) {
  if (url.empty()) return false;
  // The address is the shell's first argument, never part of its script.
  std::string shell = "/bin/sh";
  std::string option = "-c";
  std::string script = "xdg-open \"$1\" </dev/null &";
  std::string name = "sh";
  std::string target = url;
  char* arguments[] = {shell.data(), option.data(), script.data(),
                       name.data(),  target.data(), nullptr};
  pid_t child = 0;
  if (posix_spawn(&child, shell.c_str(), nullptr, nullptr, arguments, environ) != 0) return false;
  // The shell only forks and exits; waiting for it reaps it.
  int status = 0;
  pid_t waited = 0;
  do {
    waited = waitpid(child, &status, 0);
  } while (waited < 0 && errno == EINTR);
  return waited != child || (WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
