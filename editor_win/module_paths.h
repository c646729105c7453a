// Directories of the host executable and of the effect's own module.
#pragma once

#include <windows.h>

#include <string>

// The directory part of a Windows path, up to and including its last
// backslash; empty when there is no backslash or the path ends in one.
std::string DirectoryOfPath(const char* path);

// The directory of the given module (null: the host executable), ending in a
// backslash, or empty when the name cannot be read in full. [any thread]
std::string DirectoryOfModule(HMODULE module);
