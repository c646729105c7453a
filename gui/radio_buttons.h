// IRadioButtons: a group of N options from one image of N frames that shows
// every button in its selected look; the selected button's part of the image
// is copied over the background, which shows the unselected look. Vertical
// unless direction is 1. A double click counts as a second click.
#pragma once

#include <cstddef>
#include <vector>

#include "gui/control.h"

class IRadioButtons : public IControl {
 public:
  static constexpr int kHorizontal = 1;

  // size1..size3 are the first three buttons' lengths (0: an equal share).
  // Without a whole-group image the image is one button, repeated along the
  // group.
  IRadioButtons(IPlugBase* plug, int paramIndex, int x, int y, const BitmapRef& image,
                bool wholeGroupImage, int direction, int size1, int size2, int size3);

  bool Draw(IEditorView& view) override;
  void OnMouseDown(int x, int y, const MouseMods& mods) override;

  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  const Rect& Button(int index) const { return buttons_[static_cast<size_t>(index)]; }

 private:
  std::vector<Rect> buttons_;
  BitmapRef image_;
  bool vertical_;
  bool wholeGroupImage_;
};
