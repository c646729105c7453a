// IImageControl: an image, or one of its frames chosen by the value. Not bound
// to a parameter. The view's background is one.
#pragma once

#include "gui/control.h"

class IImageControl : public IControl {
 public:
  IImageControl(IPlugBase* plug, const Rect& rect, const BitmapRef& image, const Blend& blend,
                bool framesVertical);

  bool Draw(IEditorView& view) override;

 private:
  BitmapRef image_;
  bool framesVertical_;
};
