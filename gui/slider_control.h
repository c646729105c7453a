// ISliderImg: a handle image moved along a track by the pointer, which holds
// the handle by its centre; a value text below it. ISlider adds a coloured
// line from near the track's start to the handle's centre.
#pragma once

#include "gui/control.h"

class ISliderImg : public IControl {
 public:
  ISliderImg(IPlugBase* plug, int paramIndex, const Rect& rect, const BitmapRef& handle,
             const TextStyle& labelStyle, int trackLength, bool horizontal);

  bool Draw(IEditorView& view) override;
  void OnMouseDown(int x, int y, const MouseMods& mods) override;
  void OnMouseDrag(int x, int y, int dX, int dY, const MouseMods& mods) override;

  const Rect& HandleArea() const { return handleArea_; }
  int Travel() const { return travel_; }

 protected:
  void SetFromPosition(int x, int y);

  TextStyle labelStyle_;
  Rect handleArea_;
  BitmapRef handle_;
  int trackLength_;
  int travel_;
  bool vertical_;
};

class ISlider : public ISliderImg {
 public:
  ISlider(IPlugBase* plug, int paramIndex, const Rect& rect, const BitmapRef& handle,
          const TextStyle& labelStyle, int trackLength, bool horizontal, Colour lineColour,
          int lineThickness, int startOffset);

  bool Draw(IEditorView& view) override;

  const Rect& TrackArea() const { return trackArea_; }

 private:
  Colour lineColour_;
  Rect trackArea_;
  int lineThickness_;
  int startOffset_;
};
