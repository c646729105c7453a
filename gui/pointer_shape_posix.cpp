#include "gui/pointer_shape.h"

void ShowSidewaysPointer() {}
