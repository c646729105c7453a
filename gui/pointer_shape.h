// The mouse pointer shapes controls ask for; a platform matter
// (pointer_shape_*.cpp). Natively there is no pointer and this does nothing.
#pragma once

// The sideways-resize arrow, shown over a bar that can be dragged. [editor thread]
void ShowSidewaysPointer();
