// Xlib and its extensions, for files that also see the editor's own KeyCode:
// Xlib's typedef of the same name is renamed while its headers are read
// (it is a plain byte either way).
#pragma once

#define KeyCode XlibKeyCode
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/keysym.h>
#undef KeyCode
