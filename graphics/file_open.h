// Opens a file named by a UTF-8 path for binary reading; null on failure.
#pragma once

#include <cstdio>

std::FILE* OpenFileForReading(const char* utf8Path);
