// The effect's editor opened the way a host opens it: inside a top-level
// window of the host's own, driven with the mouse messages a user would
// cause: Win32 windows (host_editor_win32.cpp), or natively an X11 top-level
// window on $DISPLAY with events sent to the effect's child window and the
// effect's idle call made as Linux hosts make it (host_editor_posix.cpp).
// [host main thread]
#pragma once

#include <cstdint>
#include <string>

#include "tools/host/plugin_session.h"

class HostEditor {
 public:
  HostEditor() = default;
  ~HostEditor();
  HostEditor(const HostEditor&) = delete;
  HostEditor& operator=(const HostEditor&) = delete;

  bool IsOpen() const { return parent_ != nullptr; }

  // Creates a parent window with a client area of width × height, then
  // opens the effect's editor in it; result is the format's answer. Fails if no
  // window can be made or the effect made no child window in it. While open,
  // the window takes the sizes the effect asks the session for.
  bool Open(PluginSession& session, int width, int height, intptr_t& result, std::string& error);
  // Closes the effect's editor, then the parent window goes; returns the format's answer.
  intptr_t Close(PluginSession& session);

  // Mouse input at client coordinates of the effect's window, with the
  // pending messages handled after each message.
  bool Click(int x, int y, bool right, std::string& error);
  bool Drag(int x1, int y1, int x2, int y2, std::string& error);
  bool Wheel(int x, int y, int notches, std::string& error);
  // Handles messages for ticks × 41 ms of real time, so the editor's timer runs.
  void Ticks(int ticks);
  // Writes the effect window's current content as a BMP.
  bool Capture(const std::string& path, int& width, int& height, std::string& error);
  // The client size of the host's window.
  bool HostWindowSize(int& width, int& height);

 private:
  void* parent_ = nullptr;            // the host's window
  void* child_ = nullptr;             // the effect's window inside it
  void* display_ = nullptr;           // natively: the host's X connection
  PluginSession* session_ = nullptr;  // natively: idle calls go to it
  unsigned long serverTime_ = 0;      // natively: the time stamps of sent events
};
