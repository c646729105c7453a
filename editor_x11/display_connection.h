// A connection to the display named by DISPLAY. A server busy with clients
// coming and going refuses a new one now and then (its queue of waiting
// connections full, or the connection reset while it clears up a closed
// one), so a failed open is tried again a few times, a few milliseconds
// apart. Null when DISPLAY is not set or the display cannot be reached.
// [editor thread]
#pragma once

struct _XDisplay;

_XDisplay* OpenDisplayConnection();
