// IControl: one element of the editor. A rectangle with an optional binding to
// one plug-in parameter, a normalised value 0..1, a few state flags, and the
// virtual operations through which the view draws it and hands it input.
//
// The view owns every attached control and deletes it. Values come in from the
// plug-in through SetValueFromPlugin (redraw only) and leave through
// MarkDirty(true), which pushes the value to the plug-in's parameter path.
// Every value set from either side is drawn in two consecutive passes (the
// redraw-again flag), so a value written while a pass runs is never lost.
#pragma once

#include <atomic>
#include <cstdint>

#include "gui/records.h"

class IPlugBase;
class IEditorView;

class IControl {
 public:
  IControl(IPlugBase* plug, const Rect& rect, int paramIndex = -1);
  virtual ~IControl();
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // Input. [editor thread]
  virtual void OnMouseDown(int x, int y, const MouseMods& mods);
  virtual void OnMouseUp(int x, int y, const MouseMods& mods);
  virtual void OnDropFile(int x, int y, const char* path);
  virtual void OnMouseDrag(int x, int y, int dX, int dY, const MouseMods& mods);
  virtual void OnMouseDoubleClick(int x, int y, const MouseMods& mods);
  virtual void OnMouseWheel(int x, int y, const MouseMods& mods, float notches);
  virtual void OnKeyDown(int x, int y, KeyCode key);
  virtual void OnMouseOver(int x, int y, const MouseMods& mods);
  virtual void OnMouseOut();
  // The editor's window lost the keyboard focus.
  virtual void OnFocusLost();

  // Draws into the view's back buffer. [editor thread]
  virtual bool Draw(IEditorView& view) = 0;

  // A value from the plug-in; redraws, never pushes back. The first one also
  // becomes the reset value. [any thread, instance lock held]
  virtual void SetValueFromPlugin(double value);
  // A value as if the user set it: pushed to the plug-in. [editor or effect code]
  virtual void SetValueFromUser(double value);
  virtual void SetHidden(bool hidden);
  virtual void SetGrayed(bool grayed);
  // Both edges of the target rectangle belong to it.
  virtual bool HitTest(int x, int y);
  // Clamps the value and marks the control for drawing; with pushToPlugin the
  // bound parameter receives the value through the editor path.
  virtual void MarkDirty(bool pushToPlugin);
  // After a draw pass: the redraw-again flag becomes the dirty flag.
  virtual void MarkClean();
  virtual bool NeedsRedraw();

  // Offers the popup that edits the bound parameter as text. [editor thread]
  void PromptForValue();
  // The popup of this control closed: send and draw the value once more.
  void EndPrompt();

  double GetValue() const { return value_; }
  double GetResetValue() const { return resetValue_; }
  int GetParamIndex() const { return paramIndex_; }
  const Rect& GetRect() const { return rect_; }
  const Rect& GetTargetRect() const { return targetRect_; }
  void SetTargetRect(const Rect& rect) { targetRect_ = rect; }
  bool IsHidden() const { return hidden_; }
  bool IsGrayed() const { return grayed_; }
  bool IsDirty() const { return dirty_; }
  bool RedrawAgain() const { return redrawAgain_; }
  bool DoubleClickAsMouseDown() const { return doubleClickAsMouseDown_; }
  void SetDoubleClickAsMouseDown(bool on) { doubleClickAsMouseDown_ = on; }
  void SetNoPrompt(bool on) { noPrompt_ = on; }
  const Blend& GetBlend() const { return blend_; }
  const char* GetTooltip() const { return tooltip_; }
  void SetTooltip(const char* text) { tooltip_ = text; }
  IPlugBase* Plug() const { return plug_; }

  // The view this control is attached to; set by the view's AttachControl.
  IEditorView* View() const { return view_; }
  void SetView(IEditorView* view) { view_ = view; }

 protected:
  IPlugBase* plug_;
  Rect rect_;
  Rect targetRect_;
  BitmapRef ownBitmap_;
  int paramIndex_;
  // Written by the plug-in side (any host thread, instance lock held) while the
  // editor thread draws: atomic, so a draw reads a whole value and a fresh flag.
  std::atomic<double> value_{0.0};
  double resetValue_ = -1.0;
  double minValue_ = 0.0;
  double maxValue_ = 1.0;
  std::atomic<bool> dirty_{true};
  bool hidden_ = false;
  bool grayed_ = false;
  std::atomic<bool> redrawAgain_{false};
  bool noPrompt_ = false;
  bool doubleClickAsMouseDown_ = false;
  Blend blend_;
  const char* tooltip_ = nullptr;
  IEditorView* view_ = nullptr;
};
