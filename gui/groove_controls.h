// The header's groove controls: a slider (Swing, Chance) and a selector
// (Restart, MIDI Switch) that, besides sending their parameter, name its new
// value in the status line ("Swing: 62%", "Restart: Transport start"), as the
// engine does for Gate and Tie Lock. Changes from the host say nothing.
#pragma once

#include <cstddef>

#include "gui/radio_buttons.h"
#include "gui/slider_control.h"

// "<caption>: <the parameter's value text>"; false when there is nothing to
// say. [any thread]
bool FormatGrooveMessage(IPlugBase* plug, int paramIndex, const char* caption, char* text,
                         size_t size);

class GrooveSlider : public ISlider {
 public:
  GrooveSlider(IPlugBase* plug, int paramIndex, const char* caption, const Rect& rect,
               const BitmapRef& handle, const TextStyle& labelStyle, int trackLength);

  // Sends the value, then names it in the status line. [editor thread]
  void MarkDirty(bool pushToPlugin) override;

 private:
  const char* caption_;
};

class GrooveSelector : public IRadioButtons {
 public:
  GrooveSelector(IPlugBase* plug, int paramIndex, const char* caption, int x, int y,
                 const BitmapRef& image, int size1, int size2, int size3);

  // Sends the value, then names it in the status line. [editor thread]
  void MarkDirty(bool pushToPlugin) override;

 private:
  const char* caption_;
};
