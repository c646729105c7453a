// A small WAV reader and writer for the test host: 16- and 24-bit PCM and
// 32-bit float, 1 to 8 channels, plain or extensible format headers.
// Samples are held as floats per channel; 16- and 24-bit values convert
// exactly (value / 2^15 or / 2^23), so a PCM file read and written back in
// its own format is unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class WavFormat { Pcm16, Pcm24, Float32 };

struct WavAudio {
  int sampleRate = 44100;
  WavFormat format = WavFormat::Float32;  // the file's format when read
  std::vector<std::vector<float>> channels;  // channels[c][frame]

  size_t frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

constexpr int kWavMaxChannels = 8;

// Reads a WAV file; on failure returns false with a reason in error.
bool ReadWav(const std::string& path, WavAudio& audio, std::string& error);
// Writes audio in the given format (PCM values are rounded and clamped).
bool WriteWav(const std::string& path, const WavAudio& audio, WavFormat format,
              std::string& error);

// "pcm16", "pcm24", "float" (or "float32"); false for anything else.
bool ParseWavFormat(const std::string& name, WavFormat& format);
const char* WavFormatName(WavFormat format);
