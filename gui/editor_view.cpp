#include "gui/editor_view.h"

#include <cmath>

#include "framework/plug_base.h"
#include "graphics/blit.h"
#include "graphics/gdi_font.h"
#include "graphics/memory_bitmap.h"
#include "graphics/rotated_blit.h"
#include "gui/back_buffer.h"
#include "gui/bitmap_cache.h"
#include "gui/control.h"
#include "gui/font_cache.h"
#include "gui/image_control.h"
#include "gui/text_control.h"

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
  controls_.push_back(control);
  return ControlCount() - 1;
}

void IEditorView::AttachBackground(int id, const char* name) {
  const BitmapRef image = LoadBitmap(id, name, 1);
  auto* background = new IImageControl(plug_, Rect{0, 0, image.width, image.height}, image,
                                       Blend{Blend::kCopy, 1.0f}, true);
  background->SetView(this);
  controls_.insert(controls_.begin(), background);
  // Indices move up by one; a capture or hover would now name another control.
  if (captured_ >= 0) ++captured_;
  if (hovered_ >= 0) ++hovered_;
}

BitmapRef IEditorView::LoadBitmap(int id, const char* name, int frames) {
  Bitmap* bitmap = BitmapCache::Find(id);
  if (!bitmap) {
    bitmap = LoadImageResource(id, name);
    // An image the platform cannot decode gives an empty reference; every
    // drawing routine then draws nothing for it.
    if (!bitmap) return BitmapRef{nullptr, 0, 0, frames < 1 ? 1 : frames};
    BitmapCache::Add(id, bitmap);
  }
  return BitmapRef{bitmap, bitmap->GetWidth(), bitmap->GetHeight(), frames < 1 ? 1 : frames};
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
  backBuffer_ = CreateBackBuffer(width_, height_);
}

bool IEditorView::DrawBitmap(const BitmapRef& ref, const Rect& dest, int srcX, int srcY,
                             const Blend* blend) {
  const Rect clip = IntersectRect(dest, drawRect_);
  if (clip.IsEmpty()) return true;
  const BlendWord word = TranslateBlend(blend);
  BlitRegion(backBuffer_, ref.bitmap, clip.left, clip.top, srcX + clip.left - dest.left,
             srcY + clip.top - dest.top, clip.Width(), clip.Height(), word.alpha, word.mode);
  return true;
}

bool IEditorView::DrawBitmapFrame(const BitmapRef& ref, const Rect& dest, int frame,
                                  const Blend* blend, bool framesVertical) {
  int srcX = 0;
  int srcY = 0;
  if (ref.frames >= 2 && frame >= 2) {
    if (framesVertical) {
      srcY = static_cast<int>(static_cast<double>(ref.height) * (frame - 1) / ref.frames + 0.5);
    } else {
      srcX = static_cast<int>(static_cast<double>(ref.width) * (frame - 1) / ref.frames + 0.5);
    }
  }
  return DrawBitmap(ref, dest, srcX, srcY, blend);
}

bool IEditorView::DrawBitmapAt(const BitmapRef& ref, int x, int y, const Blend* blend) {
  if (!ref.bitmap) return true;
  const BlendWord word = TranslateBlend(blend);
  BlitRegion(backBuffer_, ref.bitmap, x, y, 0, 0, ref.bitmap->GetWidth(), ref.bitmap->GetHeight(),
             word.alpha, word.mode);
  return true;
}

bool IEditorView::DrawRotatedBitmap(const BitmapRef& ref, int centreX, int centreY, double angle,
                                    const Blend* blend, float srcOffsetX, float srcOffsetY) {
  const int w = ref.width;
  const int h = ref.height;
  const int x = static_cast<int>(static_cast<float>(centreX) - static_cast<float>(w / 2));
  const int y = static_cast<int>(static_cast<float>(centreY) - static_cast<float>(h / 2));
  const BlendWord word = TranslateBlend(blend);
  RotatedBlit(backBuffer_, ref.bitmap, x, y, w, h, srcOffsetX, srcOffsetY, static_cast<float>(w),
              static_cast<float>(h), static_cast<float>(angle), false, word.alpha,
              word.mode | kBlendBilinear, 0.0f, 0.0f);
  return true;
}

bool IEditorView::FillColourRect(const Colour& colour, const Rect& rect, const Blend* blend) {
  const BlendWord word = TranslateBlend(blend);
  FillRect(backBuffer_, rect.left, rect.top, rect.Width(), rect.Height(), colour.Packed(),
           word.alpha, word.mode);
  return true;
}

bool IEditorView::DrawTextInRect(TextStyle& style, const char* text, const Rect& rect) {
  if (!text || text[0] == '\0') return true;
  GdiFont* font = style.cachedFont ? style.cachedFont : FindFont(style);
  if (!font) return false;
  uint32_t flags = kTextNoClip;
  if (style.colour.A < 255) flags |= kTextUseColourAlpha;
  if (style.alignment == TextStyle::kCentre) {
    flags |= kTextCentre;
  } else if (style.alignment != TextStyle::kLeft) {
    flags |= kTextRight;
  }
  DrawWithFont(font, backBuffer_, text, rect, style.colour.Packed(), flags);
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
    // Every control is asked: some change state when asked.
    if (control->NeedsRedraw()) {
      *rect = UnionRect(*rect, control->GetRect());
      any = true;
    }
  }
  return any;
}

bool IEditorView::Draw(const Rect& rect) {
  if (controls_.empty()) return true;
  drawRect_ = rect;
  for (IControl* control : controls_) {
    const Rect& area = control->GetRect();
    const bool drawable = !control->IsHidden() && !area.IsEmpty();
    const bool inPass = !rect.IsEmpty() && rect.right > area.left && rect.left < area.right &&
                        rect.bottom > area.top && rect.top < area.bottom;
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

void IEditorView::OnMouseDown(int x, int y, const MouseMods& mods) {
  // A press still open (the other button went down meanwhile) ends first.
  OnCaptureLost();
  const int i = FindControlAt(x, y);
  if (i < 0) return;
  captured_ = i;
  lastMouseX_ = x;
  lastMouseY_ = y;
  IControl* control = controls_[static_cast<size_t>(i)];
  const int param = control->GetParamIndex();
  if (param >= 0 && plug_) plug_->BeginParamEdit(param);
  control->OnMouseDown(x, y, mods);
}

void IEditorView::OnMouseDrag(int x, int y, const MouseMods& mods) {
  if (captured_ < 0 || (x == lastMouseX_ && y == lastMouseY_)) return;
  const int dX = x - lastMouseX_;
  const int dY = y - lastMouseY_;
  lastMouseX_ = x;
  lastMouseY_ = y;
  controls_[static_cast<size_t>(captured_)]->OnMouseDrag(x, y, dX, dY, mods);
}

void IEditorView::OnMouseUp(int x, int y, const MouseMods& mods) {
  // Only the control that took the press hears its release; a release with no
  // press of ours (pressed elsewhere, or already ended) has no gesture to end.
  EndPress(x, y, mods);
}

bool IEditorView::OnMouseDoubleClick(int x, int y, const MouseMods& mods) {
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

void IEditorView::OnMouseWheel(int x, int y, const MouseMods& mods, float notches) {
  const int i = FindControlAt(x, y);
  if (i < 0) return;
  IControl* control = controls_[static_cast<size_t>(i)];
  const int param = control->GetParamIndex();
  if (param >= 0 && plug_) plug_->ResumeParamEdit(param);
  control->OnMouseWheel(x, y, mods, notches);
  if (param >= 0 && plug_) plug_->DeferParamEditEnd(param);
}

void IEditorView::OnKeyDown(int x, int y, KeyCode key) {
  const int i = FindControlAt(x, y);
  if (i < 0) return;
  controls_[static_cast<size_t>(i)]->OnKeyDown(x, y, key);
}

void IEditorView::OnDropFile(int x, int y, const char* path) {
  const int i = FindControlAt(x, y);
  ReleaseCapture();
  if (i < 0) return;
  IControl* control = controls_[static_cast<size_t>(i)];
  control->OnDropFile(x, y, path);
  const int param = control->GetParamIndex();
  if (param >= 0 && plug_) plug_->EndParamEdit(param);
}

bool IEditorView::OnMouseOver(int x, int y, const MouseMods& mods) {
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

void IEditorView::OnMouseOut() {
  for (IControl* control : controls_) control->OnMouseOut();
  hovered_ = -1;
}
