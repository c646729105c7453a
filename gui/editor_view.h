// IEditorView: the platform-independent half of the effect's editor. It owns
// the ordered control list (index 0 is the background) and the back buffer,
// decides what to redraw, dispatches mouse and key events to controls, and
// carries parameter values between the controls and the plug-in. The window,
// popups, dialogs and image loading are its platform half (IEditorWindow),
// which derives it. Created by the effect's constructor and owned by the
// plug-in instance for its whole life; the window comes and goes.
//
// Images and fonts come from two process-wide caches shared by every editor
// (BitmapCache, FontCache); the view only borrows them.
//
// Sizes: controls keep their 100 % layout rectangles for hit tests and all
// their logic. The view draws them at the editor's current size (100 to
// 200 %, gui/editor_scale.h): every rectangle, font and fill goes through
// ScaleRect, images come from the 100 % set, the set drawn at 200 %, or
// copies scaled down from it once per size, and window input maps back to
// the layout pixel it falls on, so every gesture does the same at any size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/control.h"
#include "gui/image_scaling.h"
#include "gui/records.h"

class Bitmap;
class GdiFont;
class IControl;
class IPlugBase;
class IPlugParam;

class IEditorView {
 public:
  static constexpr int kDefaultFrameRate = 24;
  // Wheel movement is counted in the units of a Windows wheel message.
  static constexpr int kWheelUnitsPerNotch = 120;

  // A frame rate of 0 or less becomes kDefaultFrameRate.
  IEditorView(IPlugBase* plug, int width, int height, int frameRate);
  // Deletes the controls, last first, then the back buffer.
  virtual ~IEditorView();
  IEditorView(const IEditorView&) = delete;
  IEditorView& operator=(const IEditorView&) = delete;

  // The 100 % layout size.
  int Width() const { return width_; }
  int Height() const { return height_; }
  // ---- Size, for every host format's glue. ----
  // The editor's size in percent and in window pixels.
  int SizePercent() const { return sizePercent_; }
  int PixelWidth() const;
  int PixelHeight() const;
  // A 100 % rectangle in window pixels at the current size.
  Rect PixelRect(const Rect& layout) const;
  // Draws at `percent` (one of kEditorSizes) from now on: new back buffer,
  // everything redrawn, the host's editor rectangle updated and, while the
  // window is open, the host asked to resize and the window resized. False
  // when the size was already current. [editor thread]
  bool SetSizePercent(int percent);
  // The size the editor should have now: the user's choice remembered in
  // the settings file, else the host's content scale, else the screen's
  // density. [editor thread]
  int PreferredSizePercent();
  // Applies PreferredSizePercent. [editor thread]
  void ApplyPreferredSize();
  // A content scale announced by the host (1.0 is 100 %); applied at once.
  // [editor thread]
  void SetHostContentScale(double factor);
  // The user picked a size from the size menu: remembered and applied.
  // [editor thread]
  void ChooseSizeFromMenu(int percent);
  // The overlay (the pattern menu): an attached control over all the others
  // that, while shown, is the control every press, key, wheel notch and
  // pointer movement goes to, wherever in the editor it happens. Dropped
  // with the controls.
  void SetOverlay(IControl* overlay) { overlay_ = overlay; }
  bool OverlayShown() const { return overlay_ != nullptr && !overlay_->IsHidden(); }
  // Right clicks here (besides the empty background) offer the size menu.
  void SetSizeMenuArea(const Rect& layout) { sizeMenuArea_ = layout; }
  int FrameRate() const { return frameRate_; }
  IPlugBase* Plug() const { return plug_; }

  // ---- Platform half. [editor thread] ----
  // Copies a rectangle of the back buffer to the screen; ends every draw pass.
  virtual bool PaintRect(const Rect& rect) = 0;
  // Takes the new size and drops every control; the platform adds the window.
  virtual void ResizeEditor(int width, int height);
  virtual bool IsWindowOpen();
  virtual bool PromptTextEdit(IControl* control) = 0;
  virtual bool PromptParamEdit(IControl* control, IPlugParam* param, bool centred) = 0;
  virtual void GetHostDirectory(std::string* result) = 0;
  virtual void GetModuleDirectory(std::string* result) = 0;
  virtual void PromptFile(std::string* result, int action, const char* directory,
                          const char* extensions) = 0;
  virtual bool PromptColour(Colour* colour, const char* prompt) = 0;
  virtual bool OpenUrl(const char* url, const char* title, const char* confirm,
                       const char* error) = 0;
  // A wheel movement forwarded by the host; 0 when not handled.
  virtual int HostMouseWheel(float /*delta*/) { return 0; }
  // The countdown after which a wheel gesture is ended (in timer ticks).
  virtual void SetDeferredTicks(int ticks) = 0;
  virtual void ClearDeferredTicks() = 0;
  virtual bool OpenEditorWindow(void* /*parentWindow*/) { return false; }
  virtual void CloseEditorWindow() {}
  virtual void* GetEditorHwnd() = 0;
  virtual void SyncTooltips() = 0;
  // Decodes the image with this resource id; null when it cannot.
  virtual Bitmap* LoadImageResource(int id, const char* name) = 0;
  // Shows the size menu at window pixel (x, y); answers the size picked, or
  // 0. Without a platform menu there is none.
  virtual int PromptSizeMenu(int /*x*/, int /*y*/, int /*current*/) { return 0; }
  // The density of the screen the editor shows on, in dots per inch.
  virtual int ScreenDpi() { return 96; }
  // The window takes the new pixel size; the view has already switched.
  virtual void OnSizeChanged() {}
  // The host's editor idle call: a window without a timer of its own
  // handles its events and runs its tick here. [editor thread]
  virtual void OnHostIdle() {}
  // A descriptor that becomes readable when the window has events to read,
  // for hosts that watch one; -1 when there is none.
  virtual int WindowEventDescriptor() { return -1; }
  // Puts the text on the system clipboard; false when it could not.
  // [editor thread]
  virtual bool CopyToClipboard(const char* /*text*/) { return false; }
  // The clipboard's text as UTF-8; false when it holds none, or none that
  // can be read in time. [editor thread]
  virtual bool PasteFromClipboard(std::string* /*text*/) { return false; }

  // ---- Building the editor. [plug-in constructor] ----
  // Appends the control (the view owns it from now on); answers its index.
  int AttachControl(IControl* control);
  // Inserts a full-size image control at index 0.
  void AttachBackground(int id, const char* name);
  // The image with this resource id, decoded once per process; at other
  // sizes it is fitted whole to its scaled size.
  BitmapRef LoadBitmap(int id, const char* name, int frames);
  // The same, drawn at other sizes as `scaling` says. The image at 200 % is
  // resource id + 100, named like `name` inside a "2x/" folder.
  BitmapRef LoadScalableBitmap(int id, const char* name, int frames, const ImageScaling& scaling);
  // A copy of part of an image, kept by the bitmap cache until unload.
  BitmapRef CropBitmap(const BitmapRef& source, const Rect& rect);
  // Creates the back buffer. [constructor, via the plug-in's AttachEditor]
  void PrepareDrawing();

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  IControl* GetControl(int index) const;
  Bitmap* BackBuffer() const { return backBuffer_; }
  const Rect& ExtraRedrawRect() const { return extraRedrawRect_; }
  void SetExtraRedrawRect(const Rect& rect) { extraRedrawRect_ = rect; }
  bool HoverHandling() const { return hoverHandling_; }
  void SetHoverHandling(bool on) { hoverHandling_ = on; }
  bool TooltipsEnabled() const { return tooltipsEnabled_; }
  bool DropsAccepted() const { return dropsAccepted_; }
  int CapturedControl() const { return captured_; }

  // ---- Drawing primitives, into the back buffer, in 100 % layout
  // coordinates drawn at the current size. [editor thread] ----
  // The blend may be null everywhere: it then composes with source alpha.
  bool DrawBitmap(const BitmapRef& ref, const Rect& dest, int srcX, int srcY, const Blend* blend);
  // frame counts from 1; frames lie side by side unless framesVertical.
  bool DrawBitmapFrame(const BitmapRef& ref, const Rect& dest, int frame, const Blend* blend,
                       bool framesVertical);
  // Not clipped to the draw rectangle.
  bool DrawBitmapAt(const BitmapRef& ref, int x, int y, const Blend* blend);
  bool DrawRotatedBitmap(const BitmapRef& ref, int centreX, int centreY, double angle,
                         const Blend* blend, float srcOffsetX, float srcOffsetY);
  bool FillColourRect(const Colour& colour, const Rect& rect, const Blend* blend);
  // False when no font could be made (always so in the native build).
  bool DrawTextInRect(TextStyle& style, const char* text, const Rect& rect);
  // The font for this style from the font cache, remembered in the style.
  GdiFont* FindFont(TextStyle& style);

  // ---- Values between plug-in and controls. ----
  // A value that changed on the plug-in side; redraws the bound controls
  // without pushing anything back. [any host thread, instance lock held]
  void SetParameterFromPlugin(int paramIndex, double value, bool isNormalised);
  // Hands a value to every control bound to the index as if the user set it,
  // which pushes it to the plug-in. [effect code, instance lock held]
  void SetControlsFromUser(int paramIndex, double normalisedValue);
  // The first paint after opening draws everything. [editor thread]
  void SetAllControlsDirty();
  // Text committed in a popup. [editor thread]
  void ApplyTypedValue(IControl* control, IPlugParam* param, const char* text);

  // ---- Redraw cycle. [editor thread] ----
  // Unites into *rect the rectangles of every control that needs drawing.
  bool CollectDirty(Rect* rect);
  // Draws every visible control overlapping rect (window pixels), then
  // paints it.
  bool Draw(const Rect& rect);

  // The topmost control hit at a 100 % layout point.
  int FindControlAt(int x, int y);

  // ---- Input, in window pixels at the current size. [editor thread] ----
  void OnMouseDown(int x, int y, const MouseMods& mods);
  void OnMouseUp(int x, int y, const MouseMods& mods);
  void OnMouseDrag(int x, int y, const MouseMods& mods);
  // True when the window should capture the mouse.
  bool OnMouseDoubleClick(int x, int y, const MouseMods& mods);
  // The window lost the mouse mid-press: the press ends as a release at the
  // last position, so the control rests and the host's gesture ends.
  void OnCaptureLost();
  // Wheel movement in notches, parts of one included: the parts add up on
  // one control in one direction until they make whole notches; a movement
  // while a button is held does nothing.
  void OnMouseWheel(int x, int y, const MouseMods& mods, float notches);
  // A key with the pointer at (x, y) (outside the window when the host
  // forwarded it): the editor's pattern keys first (gui/pattern_keys.h),
  // then the control under the pointer. True when the editor used the key;
  // the caller hands the others back to the host.
  bool OnKeyDown(int x, int y, KeyCode key, const KeyMods& mods = KeyMods{});
  // True when the window should track the pointer leaving.
  bool OnMouseOver(int x, int y, const MouseMods& mods);
  void OnMouseOut();
  // The window lost the keyboard focus: an open overlay closes.
  void OnFocusLost();
  void OnDropFile(int x, int y, const char* path);

 protected:
  // One image the view loaded, and its copy at the current size.
  struct ImageRecord {
    int id;
    std::string name;
    Bitmap* image;
    ImageScaling scaling;
    Bitmap* sized;
    int sizedPercent;
  };

  // The image to draw for `ref` at the current size (ref's own at 100 %, or
  // when no sized copy can be had).
  Bitmap* SizedImage(const BitmapRef& ref);
  // The 200 % image of a record, loaded once per process.
  Bitmap* LargeImage(const ImageRecord& record);
  // Blits part of `image` (window pixels) clipped to the pass.
  void BlitClipped(Bitmap* image, const Rect& dest, int srcX, int srcY, const Blend* blend);
  int ToLayout(int pixel) const;

  void ReleaseCapture();
  // Releases the captured control (if any) at (x, y) and ends its gesture.
  void EndPress(int x, int y, const MouseMods& mods);
  void DeleteControls();

  IPlugBase* plug_;
  std::vector<IControl*> controls_;
  Rect drawRect_;
  Bitmap* backBuffer_ = nullptr;
  Rect extraRedrawRect_;
  int width_;
  int height_;
  int frameRate_;
  int sizePercent_ = 100;
  double hostScale_ = 0.0;
  Rect sizeMenuArea_;
  IControl* overlay_ = nullptr;
  bool hasBackground_ = false;
  std::vector<ImageRecord> images_;
  int captured_ = -1;
  int hovered_ = -1;
  // Wheel movement short of a whole notch, in kWheelUnitsPerNotch units,
  // and the control it was over.
  int wheelRemainder_ = 0;
  int wheelControl_ = -1;
  int lastMouseX_ = -1;
  int lastMouseY_ = -1;
  bool hoverHandling_ = false;
  bool tooltipsEnabled_ = false;
  bool dropsAccepted_ = false;
};
