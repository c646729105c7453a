// On Windows: editors embed in Win32 windows, and thread timers of the
// host's run its main-thread work (the plug-in's timers, its callback and
// flush requests) from the message loop, which makes no idle calls of its
// own. No descriptors to watch.
#include <windows.h>

#include "tools/host/clap_host_objects.h"
#include "tools/host/clap_host_platform.h"

namespace {

constexpr UINT kTimerResolutionMs = 10;
ClapHost* timerHost = nullptr;  // the host runs one plug-in
UINT_PTR timerId = 0;
ClapHost* wokenHost = nullptr;
UINT_PTR wakeId = 0;

void CALLBACK OnThreadTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (timerHost != nullptr) timerHost->RunMainThreadWork();
}

void CALLBACK OnWake(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  wakeId = 0;
  if (wokenHost != nullptr) wokenHost->RunMainThreadWork();
}

}  // namespace

const char* ClapEditorApi() { return CLAP_WINDOW_API_WIN32; }

clap_window_t ClapEditorWindow(void* parent) {
  clap_window_t window = {};
  window.api = CLAP_WINDOW_API_WIN32;
  window.win32 = parent;
  return window;
}

bool ClapOffersDescriptors() { return false; }

void ClapPlatformTimers(ClapHost& host, bool any) {
  if (any && timerId == 0) {
    timerHost = &host;
    timerId = SetTimer(nullptr, 0, kTimerResolutionMs, OnThreadTimer);
  } else if (!any && timerId != 0) {
    KillTimer(nullptr, timerId);
    timerId = 0;
    timerHost = nullptr;
  }
}

void ClapPlatformWake(ClapHost& host) {
  wokenHost = &host;
  if (wakeId == 0) wakeId = SetTimer(nullptr, 0, 0, OnWake);
}

void ClapPlatformStop(ClapHost& host) {
  ClapPlatformTimers(host, false);
  if (wakeId != 0) KillTimer(nullptr, wakeId);
  wakeId = 0;
  wokenHost = nullptr;
}

std::vector<ClapReadyDescriptor> ClapReadyDescriptors(const std::vector<ClapReadyDescriptor>&) {
  return {};
}

uintptr_t ClapCurrentThread() { return static_cast<uintptr_t>(GetCurrentThreadId()); }
