// A minimal BMP writer for editor captures: 32 bits per pixel, uncompressed,
// so any image tool can read the file without a library of ours.
#pragma once

#include <cstdint>
#include <string>

// Writes width × height pixels given top row first as B, G, R, X bytes.
// False (with a reason) if the file cannot be written.
bool WriteBmp32(const std::string& path, int width, int height, const uint8_t* bgrx,
                std::string& error);
