// IEditorWindow: the Win32 half of the editor view. Creates the editor as a
// child window inside the window the host hands over, turns its messages into
// the view's mouse, key and drop entries, drives redrawing from a timer,
// copies the back buffer to the screen, and carries the text-entry popups,
// tooltips and system dialogs.
//
// Owned by the plug-in instance (as its IEditorView) for the instance's whole
// life; the window exists only between OpenEditorWindow and CloseEditorWindow.
// Everything here runs on the thread that owns the host's window.
#pragma once

#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <cstdint>
#include <string>

#include "gui/editor_view.h"

class IControl;
class IPlugParam;

class IEditorWindow : public IEditorView {
 public:
  static constexpr const char* kWindowClassName = "IPlugWndClass";
  static constexpr UINT_PTR kTimerId = 2;
  static constexpr int kPopupControlId = 99;
  static constexpr LONG_PTR kPopupMarker = 0xDEADF00B;
  static constexpr int kMaxPopupText = 1000;

  // What the timer tick does with the text-entry popup.
  enum PopupState : int32_t {
    kPopupNone = 0,
    kPopupTyping = 1,
    kPopupCancel = 2,
    kPopupCommit = 3
  };

  // `module` holds the images and owns the window class.
  IEditorWindow(IPlugBase* plug, int width, int height, int frameRate, HINSTANCE module);
  // Closes the window, frees the custom colours, then the view goes.
  ~IEditorWindow() override;

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
  bool OpenUrl(const char* url, const char* title, const char* confirm, const char* error) override;
  int HostMouseWheel(float delta) override;
  void SetDeferredTicks(int ticks) override;
  void ClearDeferredTicks() override;
  // Opens the editor inside `parentWindow` (an HWND); an open editor moves
  // into the new parent and keeps its place and size.
  bool OpenEditorWindow(void* parentWindow) override;
  void CloseEditorWindow() override;
  void* GetEditorHwnd() override;
  void SyncTooltips() override;
  Bitmap* LoadImageResource(int id, const char* name) override;
  // A popup menu of the sizes, the current one checked.
  int PromptSizeMenu(int x, int y, int current) override;
  // The editor's monitor (or, before it opens, the host window's) density.
  int ScreenDpi() override;
  void OnSizeChanged() override;
  // CF_UNICODETEXT and CF_TEXT from UTF-8 text (kMaxClipboardBytes at most);
  // false when the text is not valid UTF-8 or the clipboard stays held by
  // another program.
  bool CopyToClipboard(const char* text) override;
  // CF_UNICODETEXT (else CF_TEXT) as UTF-8; false when the clipboard holds
  // no text, text over the limit or a lone surrogate, or stays held.
  bool PasteFromClipboard(std::string* text) override;

  HWND Window() const { return window_; }
  HWND Parent() const { return parent_; }
  HINSTANCE Module() const { return module_; }
  HWND Popup() const { return popup_; }
  PopupState GetPopupState() const { return popupState_; }
  int DeferredTicks() const { return deferredTicks_; }
  // Editor windows open in this process; the class is registered while > 0.
  static int OpenWindowCount();

  // One timer period: popup ending, invalidation, the deferred gesture end.
  // [editor thread, from WM_TIMER]
  void OnTimerTick();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PopupProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandlePopupMessage(HWND popup, UINT message, WPARAM wParam, LPARAM lParam);
  void OnPaint();
  void OnKeyDownMessage(WPARAM virtualKey, LPARAM keyData);
  void OnDropFiles(HDROP drop);

  // Registers the class on the first open window of the process.
  bool AcquireWindowClass();
  void ReleaseWindowClass();

  // The area of rect, less the popup, is repainted now.
  void InvalidateExceptPopup(const Rect& rect);
  void EndPopupIfAsked();
  // Subclasses the popup just created and remembers what it edits.
  void AdoptPopup(HWND popup, IControl* control, IPlugParam* param, HFONT font);
  // Puts the previous procedure back and destroys the popup, applying nothing.
  void DestroyPopup();
  void ForgetPopup();

  void CreateTooltips();
  void TrackMouseLeaving();
  void ShowTooltip();
  void HideTooltip();

  HINSTANCE module_;
  HWND window_ = nullptr;
  HWND tooltipWindow_ = nullptr;
  HWND popup_ = nullptr;
  IControl* popupControl_ = nullptr;
  IPlugParam* popupParam_ = nullptr;
  WNDPROC popupPreviousProc_ = nullptr;
  HFONT popupFont_ = nullptr;
  PopupState popupState_ = kPopupNone;
  bool tooltipShown_ = false;
  int tooltipControl_ = -1;
  int deferredTicks_ = 0;
  COLORREF* customColours_ = nullptr;
  HWND parent_ = nullptr;
};
