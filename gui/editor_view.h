// IEditorView: the platform-independent half of the effect's editor. It owns
// the ordered control list (index 0 is the background) and the back buffer,
// decides what to redraw, dispatches mouse and key events to controls, and
// carries parameter values between the controls and the plug-in. The window,
// popups, dialogs and image loading are its platform half (IEditorWindow),
// which derives it. Created by the effect's constructor and owned by the
// plug-in instance for its whole life; the window comes and goes.
#pragma once

#include <cstdint>

class IPlugBase;

class IEditorView {
 public:
  IEditorView(IPlugBase* plug, int width, int height, int frameRate);
  virtual ~IEditorView();
  IEditorView(const IEditorView&) = delete;
  IEditorView& operator=(const IEditorView&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  int FrameRate() const { return frameRate_; }
  IPlugBase* Plug() const { return plug_; }

  // Platform half: the editor window. [editor thread]
  virtual bool OpenEditorWindow(void* /*parentWindow*/) { return false; }
  virtual void CloseEditorWindow() {}
  // A wheel movement forwarded by the host; 0 when not handled. [editor thread]
  virtual int HostMouseWheel(float /*delta*/) { return 0; }
  // Countdown (in timer ticks) after which the window calls the plug-in's
  // FlushPendingEditEnd, and its cancellation. [editor thread, lock held]
  virtual void SetDeferredTicks(int /*ticks*/) {}
  virtual void ClearDeferredTicks() {}

  // Creates the back buffer. [constructor, via the plug-in's AttachEditor]
  void PrepareDrawing();

  // A value that changed on the plug-in side; redraws the bound controls
  // without pushing anything back. [any host thread, instance lock held]
  void SetParameterFromPlugin(int paramIndex, double value, bool isNormalised);
  // Hands a value to every control bound to the index as if the user set it,
  // which pushes it to the plug-in. [effect code, instance lock held]
  void SetControlsFromUser(int paramIndex, double normalisedValue);

 protected:
  IPlugBase* plug_;
  int width_;
  int height_;
  int frameRate_;
};
