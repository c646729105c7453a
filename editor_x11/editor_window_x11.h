// XEditorWindow: the X11 half of the editor view in the native module. The
// host hands over its window id at effEditOpen; the editor opens its own
// connection to the display, makes a child window of its pixel size there,
// turns the window's events into the view's mouse and key entries, and copies
// the back buffer to the screen. There is no message loop of its own: the
// host's effEditIdle calls, on the host's editor thread, handle the pending
// events and run the editor's tick. When they come too rarely, a watchdog
// posts the same work to the host's main loop, which runs it on that thread.
// No X call is made from any other thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor_x11/host_main_loop.h"
#include "editor_x11/idle_watchdog.h"
#include "gui/editor_view.h"

class ScreenImage;
struct _XDisplay;
union _XEvent;

class XEditorWindow : public IEditorView {
 public:
  // Xlib's window id and server time.
  using WindowId = unsigned long;
  using ServerTime = unsigned long;

  // Double clicks: the second press within this time and distance of the first.
  static constexpr int64_t kDoubleClickMs = 500;
  static constexpr int kDoubleClickDistance = 2;
  static constexpr int kMaxPopupText = 1000;
  // A list popup's row at 100 %.
  static constexpr int kPopupRowHeight = 18;
  // How long a paste waits for the selection owner's answer.
  static constexpr int64_t kPasteWaitMs = 500;

  // What the tick does with the text-entry popup.
  enum PopupState : int32_t {
    kPopupNone = 0,
    kPopupTyping = 1,
    kPopupCancel = 2,
    kPopupCommit = 3
  };

  XEditorWindow(IPlugBase* plug, int width, int height, int frameRate);
  ~XEditorWindow() override;

  // ---- The view's platform half. [editor thread] ----
  bool PaintRect(const Rect& rect) override;
  void ResizeEditor(int width, int height) override;
  bool IsWindowOpen() override;
  bool PromptTextEdit(IControl* control) override;
  bool PromptParamEdit(IControl* control, IPlugParam* param, bool centred) override;
  void GetHostDirectory(std::string* result) override;
  void GetModuleDirectory(std::string* result) override;
  void PromptFile(std::string* result, int action, const char* directory,
                  const char* extensions) override;
  bool PromptColour(Colour* colour, const char* prompt) override;
  // Asks the desktop to open the address, after the instance lock is
  // released and without waiting for the browser; true once asked.
  bool OpenUrl(const char* url, const char* title, const char* confirm, const char* error) override;
  void SetDeferredTicks(int ticks) override;
  void ClearDeferredTicks() override;
  // Opens the editor inside `parentWindow` (an X11 window id); false when
  // there is no display to open or no such window.
  bool OpenEditorWindow(void* parentWindow) override;
  void CloseEditorWindow() override;
  void* GetEditorHwnd() override;
  void SyncTooltips() override {}
  Bitmap* LoadImageResource(int id, const char* name) override;
  void OnSizeChanged() override;
  // The size menu is a list popup of the editor's own: this answers 0 at
  // once, and a pick applies from the tick, as the text popups do.
  int PromptSizeMenu(int x, int y, int current) override;
  // The desktop's font density (Xft.dpi), which is what desktops scale by;
  // read from the display named by DISPLAY while the window is closed.
  int ScreenDpi() override;
  // The host's idle call: the pending events, then the tick when its period
  // is due.
  void OnHostIdle() override;
  // The display connection's descriptor, -1 while closed.
  int WindowEventDescriptor() override;
  // Makes the window the CLIPBOARD selection's owner, holding `text` (valid
  // UTF-8, kMaxClipboardBytes at most) until another client takes it or the
  // window closes.
  bool CopyToClipboard(const char* text) override;
  // The selection's text: our own, that of an editor on this thread, or the
  // owner's answer within kPasteWaitMs; false when there is none in time,
  // or it is not valid UTF-8 (or Latin-1 STRING), or too large.
  bool PasteFromClipboard(std::string* text) override;
  bool OwnsClipboard() const { return ownsClipboard_; }
  // How often the idle work ran from the host's main loop instead.
  int PostedIdles() const { return postedIdles_; }

  WindowId XWindow() const { return window_; }
  int DeferredTicks() const { return deferredTicks_; }
  // The popup's window (0 when none), its text and its list.
  WindowId Popup() const { return popup_.window; }
  bool PopupIsSizeMenu() const { return popup_.sizeMenu; }
  PopupState GetPopupState() const { return popup_.state; }
  const std::string& PopupText() const { return popup_.text; }
  int PopupSelection() const { return popup_.selected; }
  bool UsesSharedMemory() const;

  // One timer period: dirty repaint, the deferred gesture end. [editor thread]
  void OnTimerTick();
  // One event of the editor's window. [editor thread]
  void HandleEvent(const _XEvent& event);

 private:
  // An open popup, what it edits and what it holds.
  struct PopupRecord {
    WindowId window = 0;
    Rect area;  // window pixels
    IControl* control = nullptr;
    IPlugParam* param = nullptr;
    std::string text;
    std::vector<std::string> entries;  // a list when not empty
    int selected = -1;
    bool sizeMenu = false;  // the entries are kEditorSizes
    PopupState state = kPopupNone;
    std::unique_ptr<ScreenImage> image;
  };

  bool OpenPopup(const Rect& layout, IControl* control, IPlugParam* param, const std::string& text,
                 std::vector<std::string> entries, int selected);
  // `area` in window pixels.
  bool OpenPopupAt(const Rect& area, IControl* control, IPlugParam* param, const std::string& text,
                   std::vector<std::string> entries, int selected);
  void HandlePopupEvent(const _XEvent& event);
  void DrawPopup();
  void EndPopupIfAsked();
  // Destroys the popup, applying nothing.
  void DestroyPopup();
  void OnButtonPress(const _XEvent& event);
  void OnButtonRelease(const _XEvent& event);
  void OnMotion(const _XEvent& event);
  void OnKeyPress(const _XEvent& event);
  // The selection protocol's owner side (clipboard_x11.cpp).
  void AnswerSelectionRequest(const _XEvent& event);
  // Another client took the selection: the text goes.
  void DropClipboard();
  // The window closes: the selection is released if still ours.
  void GiveUpClipboard();
  // One conversion of CLIPBOARD to `target`; *answered false when the owner
  // said nothing in time.
  bool ConvertClipboard(unsigned long target, std::string* text, bool* answered);
  bool WaitForSelectionNotify(_XEvent* answer);
  void GrabPointer();
  void UngrabPointer();
  // The mouse was taken from the editor mid-press.
  void LoseGrab();
  // The idle work, from the host's call or its main loop.
  void RunIdle();
  static int RunPostedIdle(void* window);
  void PaintExposed();
  void TickDuties();
  // Holds the instance lock; the last end copies what was drawn to the screen.
  void BeginLockedPass();
  void EndLockedPass();
  // Starts the opener for the address a click asked for, if any.
  void LaunchPendingUrl();

  _XDisplay* display_ = nullptr;
  WindowId window_ = 0;
  WindowId parent_ = 0;
  std::unique_ptr<ScreenImage> screen_;
  Rect exposed_;
  bool grabbed_ = false;
  ServerTime lastPressTime_ = 0;
  int lastPressX_ = 0;
  int lastPressY_ = 0;
  bool lastPressWasDouble_ = false;
  int64_t lastTickMs_ = 0;
  int lockedPasses_ = 0;
  PopupRecord popup_;
  Rect painted_;
  std::string pendingUrl_;
  int deferredTicks_ = 0;
  HostMainLoop hostLoop_;
  IdleWatchdog watchdog_;
  int postedIdles_ = 0;
  bool ownsClipboard_ = false;
  std::string clipboardText_;
};
