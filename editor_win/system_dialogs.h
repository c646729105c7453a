// The system dialogs the editor offers its controls: the colour chooser, the
// file open/save dialog and opening a web page. All block the editor thread
// while they are shown. [editor thread]
#pragma once

#include <windows.h>

#include <string>

#include "gui/records.h"

// Lets the user pick a colour, starting from `colour`; on success its red,
// green and blue change (alpha stays). `customColours` holds 16 entries that
// the dialog reads and updates. `prompt`, if given, titles the dialog.
bool ChooseColourDialog(HWND owner, COLORREF* customColours, Colour* colour, const char* prompt);

enum FileDialogAction { kFileOpen = 0, kFileSave = 1 };

// The chosen path, or empty on cancel. `proposedName` is the file name the
// dialog starts with, `directory` the folder it opens in (may be empty), and
// `extensions` a space-separated list of extensions (may be null).
std::string FileDialog(HWND owner, const std::string& proposedName, int action,
                       const std::string& directory, const char* extensions);

// Opens the address with the system's default handler, after an optional
// yes/no question; shows `error` (if given) when that fails.
bool OpenUrlWithShell(HWND owner, const char* url, const char* title, const char* confirm,
                      const char* error);
