#include <windows.h>

#include "gui/pointer_shape.h"

void ShowSidewaysPointer() { SetCursor(LoadCursorA(nullptr, IDC_SIZEWE)); }
