#include "editor_x11/focus_loss.h"

#include "editor_x11/x11_headers.h"

bool FocusIsLost(int mode, int detail) {
  if (mode != NotifyNormal && mode != NotifyWhileGrabbed) return false;
  return detail != NotifyPointer && detail != NotifyInferior && detail != NotifyPointerRoot &&
         detail != NotifyDetailNone;
}
