// Natively: editors embed in X11 windows, the editor's idle calls fire the
// host's timers, and descriptors are polled without waiting.
#include <poll.h>
#include <pthread.h>

#include "tools/host/clap_host_extras.h"
#include "tools/host/clap_host_platform.h"

const char* ClapEditorApi() { return CLAP_WINDOW_API_X11; }

clap_window_t ClapEditorWindow(void* parent) {
  clap_window_t window = {};
  window.api = CLAP_WINDOW_API_X11;
  window.x11 = static_cast<clap_xwnd>(reinterpret_cast<uintptr_t>(parent));
  return window;
}

bool ClapOffersDescriptors() { return true; }

void ClapPlatformTimers(ClapHost&, bool) {}

void ClapPlatformWake(ClapHost&) {}

void ClapPlatformStop(ClapHost&) {}

std::vector<ClapReadyDescriptor> ClapReadyDescriptors(const std::vector<ClapReadyDescriptor>& fds) {
  std::vector<pollfd> polled;
  for (const ClapReadyDescriptor& fd : fds) {
    short events = 0;
    if (fd.flags & kClapPosixFdRead) events |= POLLIN;
    if (fd.flags & kClapPosixFdWrite) events |= POLLOUT;
    polled.push_back({fd.fd, events, 0});
  }
  std::vector<ClapReadyDescriptor> ready;
  if (polled.empty() || poll(polled.data(), polled.size(), 0) <= 0) return ready;
  for (const pollfd& fd : polled) {
    uint32_t flags = 0;
    if (fd.revents & POLLIN) flags |= kClapPosixFdRead;
    if (fd.revents & POLLOUT) flags |= kClapPosixFdWrite;
    if (fd.revents & (POLLERR | POLLHUP | POLLNVAL)) flags |= kClapPosixFdError;
    if (flags != 0) ready.push_back({fd.fd, flags});
  }
  return ready;
}

uintptr_t ClapCurrentThread() { return static_cast<uintptr_t>(pthread_self()); }
