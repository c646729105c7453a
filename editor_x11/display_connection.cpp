#include "editor_x11/display_connection.h"

#include <time.h>

#include <cstdlib>

#include "editor_x11/x11_headers.h"

namespace {

constexpr int kAttempts = 20;
constexpr long kPauseNanoseconds = 5 * 1000 * 1000;

}  // namespace

_XDisplay* OpenDisplayConnection() {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || name[0] == '\0') return nullptr;
  for (int attempt = 1;; ++attempt) {
    Display* display = XOpenDisplay(nullptr);
    if (display != nullptr || attempt == kAttempts) return display;
    const timespec pause = {0, kPauseNanoseconds};
    nanosleep(&pause, nullptr);
  }
}
