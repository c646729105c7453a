// ITextControl: a line of text in a fixed style, not bound to a parameter. The
// effect's status line is one: the engine replaces its text from whatever
// thread applies a parameter (often the audio thread) while the editor thread
// may be drawing it. The text therefore lives in a fixed buffer inside the
// control: replacing it never frees or moves memory a draw could be reading,
// and the last byte is always the terminator, so a racing draw sees at worst
// a mixed text for one pass (the control is drawn again in the next one).
//
// IEditableTextControl adds a background, and takes over text typed into its
// popup.
#pragma once

#include <cstddef>

#include "gui/control.h"

class ITextControl : public IControl {
 public:
  // Room for every status message and typed entry; longer texts are cut.
  static constexpr size_t kTextCapacity = 512;

  ITextControl(IPlugBase* plug, const Rect& rect, const TextStyle& style, const char* text);

  bool Draw(IEditorView& view) override;

  // Takes the text and marks the control for drawing, unless it is already
  // the current text. Never allocates. [any thread, instance lock held]
  void SetTextFromPlugin(const char* text);
  // The buffer itself, for the thread that writes it. [editor thread or tests]
  const char* GetText() const { return text_; }
  // A consistent copy for a reader racing the writer; answers the length.
  // [any thread]
  size_t CopyText(char* out, size_t size) const;
  const TextStyle& GetStyle() const { return style_; }

 protected:
  // Copies into the fixed buffer; true when the text changed.
  bool StoreText(const char* text);

  TextStyle style_;
  char text_[kTextCapacity];
};

class IEditableTextControl : public ITextControl {
 public:
  // The longest run of "*" a masked text is shown with.
  static constexpr size_t kMaxMaskLength = 254;

  IEditableTextControl(IPlugBase* plug, const Rect& rect, const TextStyle& style, const char* text,
                       Colour background, bool editable, bool masked);

  bool Draw(IEditorView& view) override;
  void OnMouseDown(int x, int y, const MouseMods& mods) override;

  bool IsEditable() const { return editable_; }
  bool IsMasked() const { return masked_; }
  // Text typed into the popup; marked dirty only when it changed. [editor thread]
  void SetTypedText(const char* text);

 private:
  Colour background_;
  bool editable_;
  bool masked_;
};
