// Which FocusOut events mean a window lost the keyboard focus.
#pragma once

// X reports more than the focus leaving: a FocusOut with detail NotifyPointer
// only tells the window under the pointer that a focus it held through the
// pointer moved (the popup gets one when it takes the focus from the desktop
// while the pointer is over it); NotifyInferior means the focus went to a
// child, such as the editor's own popup; mode NotifyGrab is another client
// borrowing the keyboard for a moment, which ends in a FocusIn with
// NotifyUngrab. The rest (the focus going elsewhere, also while a grab is
// active) is a loss. [editor thread]
bool FocusIsLost(int mode, int detail);
