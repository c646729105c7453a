#include "graphics/file_open.h"

std::FILE* OpenFileForReading(const char* utf8Path) { return std::fopen(utf8Path, "rb"); }
