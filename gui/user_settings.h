// The editor's per-user settings: a small text file, "editor.txt", in the
// effect's own folder of the user's profile (the application-data folder on
// Windows, the XDG configuration folder natively). It is the user's, shared
// by every instance and host, and never part of the host's saved state.
// Today it holds one line, "size=<percent>". [editor thread]
#pragma once

#include <cstdio>
#include <string>

// The editor size the user chose last, or 0 when none is stored (no file,
// unreadable, or a value that is not one of the sizes).
int LoadEditorSizeSetting();
// Stores the choice; false when the file cannot be written.
bool SaveEditorSizeSetting(int percent);

// Tests keep their settings in a folder of their own (UTF-8 path); an empty
// folder restores the user's.
void SetUserSettingsFolder(const std::string& folder);

// Reads at most 256 bytes; writes all of `text`.
bool ReadSmallFile(const std::string& path, std::string* text);
bool WriteSmallFile(const std::string& path, const std::string& text);

// ---- Platform half (user_settings_*.cpp). ----
// The folder holding the settings, ending in a separator; created when
// `create`. Empty when there is none.
std::string UserSettingsFolder(bool create);
// The file at a UTF-8 path, opened to read or (created, emptied) to write.
std::FILE* OpenSettingsFile(const std::string& path, bool write);
