#include "gui/editor_view.h"

#include <cmath>
#include <memory>

#include "framework/plug_base.h"
#include "graphics/blit.h"
#include "graphics/gdi_font.h"
#include "graphics/memory_bitmap.h"
#include "graphics/rotated_blit.h"
#include "gui/back_buffer.h"
#include "gui/bitmap_cache.h"
#include "gui/control.h"
#include "gui/editor_scale.h"
#include "gui/font_cache.h"
#include "gui/image_control.h"
#include "gui/pattern_keys.h"
#include "gui/text_control.h"
#include "gui/user_settings.h"

namespace {

struct BlendWord {
  BlendMode mode;
  float alpha;
};

// The view's blend record as the library's mode word and alpha.
BlendWord TranslateBlend(const Blend* blend) {
  if (!blend) return {kBlendSourceAlpha, 1.0f};
  switch (blend->kind) {
    case Blend::kCopy:
      return {kBlendCopy, blend->weight};
    case Blend::kAdd:
      return {kBlendSourceAlpha | kBlendAdd, blend->weight};
    case Blend::kDodge:
      return {kBlendSourceAlpha | kBlendDodge, blend->weight};
    default:
      return {kBlendSourceAlpha, blend->weight};
  }
}

// Ids under which the process keeps the images drawn at 200 % and the
// copies scaled from them: resource ids 200-210 for the first, and the
// 100 % id plus the size times 1000 for the second.
constexpr int kLargeImageIdOffset = 100;
constexpr int kSizedImageIdFactor = 1000;

// "img/bg.png" -> "img/2x/bg.png".
std::string LargeImageName(const char* name) {
  const std::string path = name ? name : "";
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "2x/" + path
                                    : path.substr(0, slash + 1) + "2x/" + path.substr(slash + 1);
}

}  // namespace

IEditorView::IEditorView(IPlugBase* plug, int width, int height, int frameRate)
    : plug_(plug),
      width_(width),
      height_(height),
      frameRate_(frameRate > 0 ? frameRate : kDefaultFrameRate) {}

IEditorView::~IEditorView() {
  DeleteControls();
  delete backBuffer_;
  backBuffer_ = nullptr;
}

void IEditorView::DeleteControls() {
  hasBackground_ = false;
  overlay_ = nullptr;
  while (!controls_.empty()) {
    delete controls_.back();
    controls_.pop_back();
  }
}

void IEditorView::ReleaseCapture() {
  captured_ = -1;
  lastMouseX_ = -1;
  lastMouseY_ = -1;
}

void IEditorView::ResizeEditor(int width, int height) {
  width_ = width;
  height_ = height;
  ReleaseCapture();
  hovered_ = -1;
  wheelControl_ = -1;
  wheelRemainder_ = 0;
  DeleteControls();
  if (plug_) plug_->SyncEditorRect();
}

bool IEditorView::IsWindowOpen() { return GetEditorHwnd() != nullptr; }

IControl* IEditorView::GetControl(int index) const {
  if (index < 0 || index >= ControlCount()) return nullptr;
  return controls_[static_cast<size_t>(index)];
}

int IEditorView::AttachControl(IControl* control) {
  control->SetView(this);
  // The view owns the control from here on, even when the list cannot grow.
  try {
    controls_.push_back(control);
  } catch (...) {
    delete control;
    throw;
  }
  return ControlCount() - 1;
}

void IEditorView::AttachBackground(int id, const char* name) {
  // The whole editor: scaled on the editor's own grid.
  ImageScaling grid;
  grid.kind = ImageScaling::kAnchored;
  const BitmapRef image = LoadScalableBitmap(id, name, 1, grid);
  // Held here until the list holds it: a list that cannot grow frees it.
  auto background = std::make_unique<IImageControl>(plug_, Rect{0, 0, image.width, image.height},
                                                    image, Blend{Blend::kCopy, 1.0f}, true);
  background->SetView(this);
  controls_.insert(controls_.begin(), background.get());
  background.release();
  hasBackground_ = true;
  // Indices move up by one; a capture or hover would now name another control.
  if (captured_ >= 0) ++captured_;
  if (hovered_ >= 0) ++hovered_;
  if (wheelControl_ >= 0) ++wheelControl_;
}

BitmapRef IEditorView::LoadBitmap(int id, const char* name, int frames) {
  ImageScaling fit;
  fit.framesX = 1;
  return LoadScalableBitmap(id, name, frames, fit);
}

BitmapRef IEditorView::LoadScalableBitmap(int id, const char* name, int frames,
                                          const ImageScaling& scaling) {
  Bitmap* bitmap = BitmapCache::Find(id);
  if (!bitmap) {
    bitmap = LoadImageResource(id, name);
    // An image the platform cannot decode gives an empty reference; every
    // drawing routine then draws nothing for it.
    if (!bitmap) return BitmapRef{nullptr, 0, 0, frames < 1 ? 1 : frames};
    BitmapCache::Add(id, bitmap);
  }
  bool known = false;
  for (const ImageRecord& record : images_) known = known || record.image == bitmap;
  if (!known) images_.push_back(ImageRecord{id, name ? name : "", bitmap, scaling, nullptr, 0});
  return BitmapRef{bitmap, bitmap->GetWidth(), bitmap->GetHeight(), frames < 1 ? 1 : frames};
}

Bitmap* IEditorView::LargeImage(const ImageRecord& record) {
  const int id = record.id + kLargeImageIdOffset;
  Bitmap* large = BitmapCache::Find(id);
  if (large) return large;
  large = LoadImageResource(id, LargeImageName(record.name.c_str()).c_str());
  // Only the image drawn for this one, at exactly twice its size, will do.
  if (!large || large->GetWidth() != 2 * record.image->GetWidth() ||
      large->GetHeight() != 2 * record.image->GetHeight()) {
    delete large;
    return nullptr;
  }
  BitmapCache::Add(id, large);
  return large;
}

Bitmap* IEditorView::SizedImage(const BitmapRef& ref) {
  if (sizePercent_ == kSmallestEditorSize || !ref.bitmap) return ref.bitmap;
  for (ImageRecord& record : images_) {
    if (record.image != ref.bitmap) continue;
    if (record.sizedPercent == sizePercent_) return record.sized ? record.sized : ref.bitmap;
    record.sizedPercent = sizePercent_;
    record.sized = nullptr;
    Bitmap* large = LargeImage(record);
    if (!large) return ref.bitmap;
    if (sizePercent_ == kLargeArtworkSize) {
      record.sized = large;
      return large;
    }
    const int id = record.id + kSizedImageIdFactor * sizePercent_;
    record.sized = BitmapCache::Find(id);
    if (!record.sized) {
      record.sized = ScaleLargeImage(large, record.image->GetWidth(), record.image->GetHeight(),
                                     record.scaling, sizePercent_);
      if (record.sized) BitmapCache::Add(id, record.sized);
    }
    return record.sized ? record.sized : ref.bitmap;
  }
  return ref.bitmap;
}

BitmapRef IEditorView::CropBitmap(const BitmapRef& source, const Rect& rect) {
  const int width = rect.Width();
  const int height = rect.Height();
  auto* copy = new MemoryBitmap(width, height, 4);
  BlitRegion(copy, source.bitmap, 0, 0, rect.left, rect.top, width, height, 1.0f, kBlendCopy);
  BitmapCache::Add(BitmapCache::kUnlistedId, copy);
  return BitmapRef{copy, copy->GetWidth(), copy->GetHeight(), source.frames};
}

void IEditorView::PrepareDrawing() {
  delete backBuffer_;
  backBuffer_ = CreateBackBuffer(PixelWidth(), PixelHeight());
}

int IEditorView::PixelWidth() const { return ScaleCoordinate(width_, sizePercent_); }

int IEditorView::PixelHeight() const { return ScaleCoordinate(height_, sizePercent_); }

Rect IEditorView::PixelRect(const Rect& layout) const { return ScaleRect(layout, sizePercent_); }

int IEditorView::ToLayout(int pixel) const { return UnscaleCoordinate(pixel, sizePercent_); }

bool IEditorView::SetSizePercent(int percent) {
  percent = ValidEditorSize(percent);
  if (percent == sizePercent_) return false;
  sizePercent_ = percent;
  if (backBuffer_) PrepareDrawing();
  SetAllControlsDirty();
  if (plug_) {
    {
      ScopedLock lock(plug_->InstanceLock());
      plug_->SyncEditorRect();
    }
    // A host that refuses keeps its frame; the window still takes the new
    // size and shows what fits.
    if (IsWindowOpen()) plug_->RequestEditorSize(PixelWidth(), PixelHeight());
  }
  OnSizeChanged();
  return true;
}

int IEditorView::PreferredSizePercent() {
  const int chosen = LoadEditorSizeSetting();
  if (chosen != 0) return chosen;
  if (hostScale_ > 0.0) return NearestEditorSize(hostScale_);
  return EditorSizeForDpi(ScreenDpi());
}

void IEditorView::ApplyPreferredSize() { SetSizePercent(PreferredSizePercent()); }

void IEditorView::SetHostContentScale(double factor) {
  hostScale_ = factor > 0.0 ? factor : 0.0;
  ApplyPreferredSize();
}

void IEditorView::ChooseSizeFromMenu(int percent) {
  percent = ValidEditorSize(percent);
  SaveEditorSizeSetting(percent);
  SetSizePercent(percent);
}

void IEditorView::BlitClipped(Bitmap* image, const Rect& dest, int srcX, int srcY,
                              const Blend* blend) {
  const Rect clip = IntersectRect(dest, drawRect_);
  if (clip.IsEmpty()) return;
  const BlendWord word = TranslateBlend(blend);
  BlitRegion(backBuffer_, image, clip.left, clip.top, srcX + clip.left - dest.left,
             srcY + clip.top - dest.top, clip.Width(), clip.Height(), word.alpha, word.mode);
}

bool IEditorView::DrawBitmap(const BitmapRef& ref, const Rect& dest, int srcX, int srcY,
                             const Blend* blend) {
  Bitmap* image = SizedImage(ref);
  // The source offset is a distance in the layout: at another size it is
  // the distance between the scaled edges, so a cut-out drawn at its place
  // takes the very pixels the scaled image holds there.
  const int s = sizePercent_;
  BlitClipped(image, PixelRect(dest),
              ScaleCoordinate(dest.left, s) - ScaleCoordinate(dest.left - srcX, s),
              ScaleCoordinate(dest.top, s) - ScaleCoordinate(dest.top - srcY, s), blend);
  return true;
}

bool IEditorView::DrawBitmapFrame(const BitmapRef& ref, const Rect& dest, int frame,
                                  const Blend* blend, bool framesVertical) {
  if (ref.frames < 2 || frame < 2) return DrawBitmap(ref, dest, 0, 0, blend);
  // The frame's offset within whichever image is drawn: frames of a scaled
  // image are its own equal parts.
  Bitmap* image = SizedImage(ref);
  const int width = image ? image->GetWidth() : 0;
  const int height = image ? image->GetHeight() : 0;
  int srcX = 0;
  int srcY = 0;
  if (framesVertical) {
    srcY = static_cast<int>(static_cast<double>(height) * (frame - 1) / ref.frames + 0.5);
  } else {
    srcX = static_cast<int>(static_cast<double>(width) * (frame - 1) / ref.frames + 0.5);
  }
  BlitClipped(image, PixelRect(dest), srcX, srcY, blend);
  return true;
}

bool IEditorView::DrawBitmapAt(const BitmapRef& ref, int x, int y, const Blend* blend) {
  Bitmap* image = SizedImage(ref);
  if (!image) return true;
  const BlendWord word = TranslateBlend(blend);
  BlitRegion(backBuffer_, image, ScaleCoordinate(x, sizePercent_), ScaleCoordinate(y, sizePercent_),
             0, 0, image->GetWidth(), image->GetHeight(), word.alpha, word.mode);
  return true;
}

bool IEditorView::DrawRotatedBitmap(const BitmapRef& ref, int centreX, int centreY, double angle,
                                    const Blend* blend, float srcOffsetX, float srcOffsetY) {
  Bitmap* image = SizedImage(ref);
  const bool sized = image != ref.bitmap;
  const int w = sized ? image->GetWidth() : ref.width;
  const int h = sized ? image->GetHeight() : ref.height;
  const float factor = static_cast<float>(sizePercent_) / 100.0f;
  const int cx = ScaleCoordinate(centreX, sizePercent_);
  const int cy = ScaleCoordinate(centreY, sizePercent_);
  const int x = static_cast<int>(static_cast<float>(cx) - static_cast<float>(w / 2));
  const int y = static_cast<int>(static_cast<float>(cy) - static_cast<float>(h / 2));
  const BlendWord word = TranslateBlend(blend);
  RotatedBlit(backBuffer_, image, x, y, w, h, srcOffsetX * factor, srcOffsetY * factor,
              static_cast<float>(w), static_cast<float>(h), static_cast<float>(angle), false,
              word.alpha, word.mode | kBlendBilinear, 0.0f, 0.0f);
  return true;
}

bool IEditorView::FillColourRect(const Colour& colour, const Rect& rect, const Blend* blend) {
  const BlendWord word = TranslateBlend(blend);
  const Rect area = PixelRect(rect);
  FillRect(backBuffer_, area.left, area.top, area.Width(), area.Height(), colour.Packed(),
           word.alpha, word.mode);
  return true;
}

bool IEditorView::DrawTextInRect(TextStyle& style, const char* text, const Rect& rect) {
  if (!text || text[0] == '\0') return true;
  GdiFont* font = nullptr;
  if (sizePercent_ == kSmallestEditorSize) {
    font = style.cachedFont ? style.cachedFont : FindFont(style);
  } else {
    // The style remembers its 100 % font; the scaled one is looked up.
    TextStyle sized = style;
    sized.size = ScaleCoordinate(style.size, sizePercent_);
    sized.cachedFont = nullptr;
    font = FindFont(sized);
  }
  if (!font) return false;
  uint32_t flags = kTextNoClip;
  if (style.colour.A < 255) flags |= kTextUseColourAlpha;
  if (style.alignment == TextStyle::kCentre) {
    flags |= kTextCentre;
  } else if (style.alignment != TextStyle::kLeft) {
    flags |= kTextRight;
  }
  DrawWithFont(font, backBuffer_, text, PixelRect(rect), style.colour.Packed(), flags);
  return true;
}

GdiFont* IEditorView::FindFont(TextStyle& style) {
  GdiFont* font = FontCache::Find(style);
  if (!font) {
    font = CreateFontForStyle(style);
    if (!font) return nullptr;
    FontCache::Add(style, font);
  }
  style.cachedFont = font;
  return font;
}

void IEditorView::SetParameterFromPlugin(int paramIndex, double value, bool isNormalised) {
  if (!isNormalised) {
    IPlugParam* param = plug_ ? plug_->GetParam(paramIndex) : nullptr;
    if (!param) return;
    value = param->ToNormalized(value);
  }
  for (IControl* control : controls_) {
    if (control->GetParamIndex() == paramIndex) control->SetValueFromPlugin(value);
  }
}

void IEditorView::SetControlsFromUser(int paramIndex, double normalisedValue) {
  for (IControl* control : controls_) {
    if (control->GetParamIndex() == paramIndex) control->SetValueFromUser(normalisedValue);
  }
}

void IEditorView::SetAllControlsDirty() {
  for (IControl* control : controls_) control->MarkDirty(false);
}

void IEditorView::ApplyTypedValue(IControl* control, IPlugParam* param, const char* text) {
  if (!control) return;
  if (param) {
    const double value = param->ParseValueText(text ? text : "");
    const int index = control->GetParamIndex();
    if (index >= 0 && plug_) plug_->BeginParamEdit(index);
    control->SetValueFromUser(param->ToNormalized(value));
    if (index >= 0 && plug_) plug_->EndParamEdit(index);
    return;
  }
  auto* editable = dynamic_cast<IEditableTextControl*>(control);
  if (editable && editable->IsEditable()) editable->SetTypedText(text);
}

bool IEditorView::CollectDirty(Rect* rect) {
  bool any = false;
  for (IControl* control : controls_) {
    // Every control is asked, once: some change state when asked.
    if (!control->NeedsRedraw()) continue;
    if (control->GetRect().IsEmpty()) {
      // Nothing to draw (a parameter carrier, the grid's frame): a window
      // that paints only what is asked for would never reach it in a pass
      // to clean it, and it would ask for ever.
      control->MarkClean();
      continue;
    }
    *rect = UnionRect(*rect, control->GetRect());
    any = true;
  }
  return any;
}

bool IEditorView::Draw(const Rect& rect) {
  if (controls_.empty()) return true;
  drawRect_ = rect;
  // The layout pixels the window pixels of the pass touch.
  const Rect layout = rect.IsEmpty()
                          ? Rect{}
                          : Rect{ToLayout(rect.left), ToLayout(rect.top),
                                 ToLayout(rect.right - 1) + 1, ToLayout(rect.bottom - 1) + 1};
  for (IControl* control : controls_) {
    const Rect& area = control->GetRect();
    const bool drawable = !control->IsHidden() && !area.IsEmpty();
    const bool inPass = !rect.IsEmpty() && layout.right > area.left && layout.left < area.right &&
                        layout.bottom > area.top && layout.top < area.bottom;
    // A control outside this pass keeps its flags: a value it took meanwhile
    // (even one sent from another control's Draw) is drawn by a later pass.
    if (drawable && !inPass) continue;
    if (drawable) control->Draw(*this);
    control->MarkClean();
  }
  return PaintRect(rect);
}

int IEditorView::FindControlAt(int x, int y) {
  if (captured_ >= 0) return captured_;
  if (OverlayShown()) {
    for (int i = ControlCount() - 1; i >= 0; --i) {
      if (controls_[static_cast<size_t>(i)] == overlay_) return i;
    }
  }
  for (int i = ControlCount() - 1; i >= 0; --i) {
    IControl* control = controls_[static_cast<size_t>(i)];
    if (!control->IsHidden() && !control->IsGrayed() && control->HitTest(x, y)) return i;
  }
  return -1;
}

void IEditorView::EndPress(int x, int y, const MouseMods& mods) {
  if (captured_ < 0) return;
  IControl* control = controls_[static_cast<size_t>(captured_)];
  ReleaseCapture();
  control->OnMouseUp(x, y, mods);
  const int param = control->GetParamIndex();
  if (param >= 0 && plug_) plug_->EndParamEdit(param);
}

void IEditorView::OnCaptureLost() { EndPress(lastMouseX_, lastMouseY_, MouseMods{}); }

void IEditorView::OnMouseDown(int pixelX, int pixelY, const MouseMods& mods) {
  const int x = ToLayout(pixelX);
  const int y = ToLayout(pixelY);
  // A press still open (the other button went down meanwhile) ends first.
  OnCaptureLost();
  const int i = FindControlAt(x, y);
  if (i < 0) return;
  // A right click on the bare background or the title plate offers the
  // editor's sizes.
  const bool onBackground = i == 0 && hasBackground_;
  const bool onSizeArea = !sizeMenuArea_.IsEmpty() && sizeMenuArea_.Contains(x, y) &&
                          controls_[static_cast<size_t>(i)] != overlay_;
  if (mods.R && (onBackground || onSizeArea)) {
    const int chosen = PromptSizeMenu(pixelX, pixelY, sizePercent_);
    if (chosen != 0) ChooseSizeFromMenu(chosen);
    return;
  }
  captured_ = i;
  lastMouseX_ = x;
  lastMouseY_ = y;
  IControl* control = controls_[static_cast<size_t>(i)];
  const int param = control->GetParamIndex();
  if (param >= 0 && plug_) plug_->BeginParamEdit(param);
  control->OnMouseDown(x, y, mods);
}

void IEditorView::OnMouseDrag(int pixelX, int pixelY, const MouseMods& mods) {
  const int x = ToLayout(pixelX);
  const int y = ToLayout(pixelY);
  if (captured_ < 0 || (x == lastMouseX_ && y == lastMouseY_)) return;
  const int dX = x - lastMouseX_;
  const int dY = y - lastMouseY_;
  lastMouseX_ = x;
  lastMouseY_ = y;
  controls_[static_cast<size_t>(captured_)]->OnMouseDrag(x, y, dX, dY, mods);
}

void IEditorView::OnMouseUp(int pixelX, int pixelY, const MouseMods& mods) {
  const int x = ToLayout(pixelX);
  const int y = ToLayout(pixelY);
  // Only the control that took the press hears its release; a release with no
  // press of ours (pressed elsewhere, or already ended) has no gesture to end.
  EndPress(x, y, mods);
}

bool IEditorView::OnMouseDoubleClick(int pixelX, int pixelY, const MouseMods& mods) {
  const int x = ToLayout(pixelX);
  const int y = ToLayout(pixelY);
  OnCaptureLost();
  const int i = FindControlAt(x, y);
  if (i < 0) return false;
  IControl* control = controls_[static_cast<size_t>(i)];
  const int param = control->GetParamIndex();
  if (param >= 0 && plug_) plug_->BeginParamEdit(param);
  // Held like a press either way, so that the release (or a lost capture)
  // ends the gesture on this control.
  captured_ = i;
  lastMouseX_ = x;
  lastMouseY_ = y;
  if (control->DoubleClickAsMouseDown()) {
    control->OnMouseDown(x, y, mods);
  } else {
    control->OnMouseDoubleClick(x, y, mods);
  }
  return true;
}

void IEditorView::OnMouseWheel(int pixelX, int pixelY, const MouseMods& mods, float notches) {
  // The held control owns the gesture: a notch now would begin and end a
  // second one for the host while the first is still open.
  if (captured_ >= 0) return;
  const int x = ToLayout(pixelX);
  const int y = ToLayout(pixelY);
  const int i = FindControlAt(x, y);
  const int units = static_cast<int>(std::lround(notches * kWheelUnitsPerNotch));
  // Parts of a notch count only toward more movement the same way on the
  // same control.
  if (i != wheelControl_ || (units < 0) != (wheelRemainder_ < 0)) wheelRemainder_ = 0;
  wheelControl_ = i;
  wheelRemainder_ += units;
  const int whole = wheelRemainder_ / kWheelUnitsPerNotch;
  wheelRemainder_ -= whole * kWheelUnitsPerNotch;
  if (i < 0 || whole == 0) return;
  IControl* control = controls_[static_cast<size_t>(i)];
  const int param = control->GetParamIndex();
  if (param >= 0 && plug_) plug_->ResumeParamEdit(param);
  control->OnMouseWheel(x, y, mods, static_cast<float>(whole));
  if (param >= 0 && plug_) plug_->DeferParamEditEnd(param);
}

bool IEditorView::OnKeyDown(int pixelX, int pixelY, KeyCode key, const KeyMods& mods) {
  // An open overlay (the pattern menu) is modal, as a system menu is: every
  // key is its own, used or not.
  if (OverlayShown()) {
    overlay_->OnKeyDown(ToLayout(pixelX), ToLayout(pixelY), key);
    return true;
  }
  PatternEditor* patterns = plug_ ? plug_->Patterns() : nullptr;
  if (patterns && HandlePatternKey(*this, *patterns, key, mods)) return true;
  const int x = ToLayout(pixelX);
  const int y = ToLayout(pixelY);
  const int i = FindControlAt(x, y);
  if (i < 0) return false;
  controls_[static_cast<size_t>(i)]->OnKeyDown(x, y, key);
  return false;
}

void IEditorView::OnDropFile(int pixelX, int pixelY, const char* path) {
  const int x = ToLayout(pixelX);
  const int y = ToLayout(pixelY);
  const int i = FindControlAt(x, y);
  ReleaseCapture();
  if (i < 0) return;
  IControl* control = controls_[static_cast<size_t>(i)];
  control->OnDropFile(x, y, path);
  const int param = control->GetParamIndex();
  if (param >= 0 && plug_) plug_->EndParamEdit(param);
}

bool IEditorView::OnMouseOver(int pixelX, int pixelY, const MouseMods& mods) {
  const int x = ToLayout(pixelX);
  const int y = ToLayout(pixelY);
  // The overlay's highlight follows the pointer whether or not the other
  // controls hear it.
  if (OverlayShown()) {
    overlay_->OnMouseOver(x, y, mods);
    return true;
  }
  if (!hoverHandling_) return false;
  const int i = FindControlAt(x, y);
  if (i < 0) return true;
  lastMouseX_ = x;
  lastMouseY_ = y;
  controls_[static_cast<size_t>(i)]->OnMouseOver(x, y, mods);
  if (hovered_ >= 0 && hovered_ != i && hovered_ < ControlCount()) {
    controls_[static_cast<size_t>(hovered_)]->OnMouseOut();
  }
  hovered_ = i;
  return true;
}

void IEditorView::OnFocusLost() {
  for (IControl* control : controls_) control->OnFocusLost();
}

void IEditorView::OnMouseOut() {
  for (IControl* control : controls_) control->OnMouseOut();
  hovered_ = -1;
}
