// What differs between the Linux and the Windows CLAP mode: the window API
// and handle the editor is embedded with, how the host's timers are driven,
// descriptor readiness, and the identity of the calling thread
// (clap_host_platform_posix.cpp, clap_host_platform_win32.cpp). [host main thread]
#pragma once

#include <clap/ext/gui.h>

#include <cstdint>
#include <vector>

class ClapHost;

// The window API the host embeds editors with ("x11" or "win32").
const char* ClapEditorApi();
// The host's window `parent` as the plug-in's set_parent takes it.
clap_window_t ClapEditorWindow(void* parent);
// Whether the host watches file descriptors for the plug-in (Linux only).
bool ClapOffersDescriptors();
// Keeps the platform's own timer running while `any` timer is registered, for
// message loops that make no idle calls (Windows); nothing natively, where the
// editor's idle calls fire the timers.
void ClapPlatformTimers(ClapHost& host, bool any);
// Has the host's main-thread work run soon from the message loop (Windows),
// after the plug-in asked for a callback or a flush; nothing natively, where
// the idle calls look for such requests.
void ClapPlatformWake(ClapHost& host);
// Stops the timer and forgets a pending wake: the plug-in is gone.
void ClapPlatformStop(ClapHost& host);
// Of `fds` (with their CLAP read/write/error flags), the ready ones and how.
struct ClapReadyDescriptor {
  int fd;
  uint32_t flags;
};
std::vector<ClapReadyDescriptor> ClapReadyDescriptors(const std::vector<ClapReadyDescriptor>& fds);
// An identity for the calling thread.
uintptr_t ClapCurrentThread();
