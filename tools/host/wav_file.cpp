#include "tools/host/wav_file.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/host/little_endian.h"

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr long kMaxFileBytes = 1L << 30;

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    error = "cannot open " + path;
    return false;
  }
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  long size = ok ? std::ftell(file) : -1;
  ok = ok && size >= 0 && size <= kMaxFileBytes && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(static_cast<size_t>(size));
    ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  std::fclose(file);
  if (!ok) error = "cannot read " + path + " (unreadable or larger than 1 GiB)";
  return ok;
}

float DecodeSample(const uint8_t* p, WavFormat format) {
  switch (format) {
    case WavFormat::Pcm16:
      return static_cast<float>(static_cast<int16_t>(ReadU16(p))) / 32768.0f;
    case WavFormat::Pcm24: {
      // Shift into the top of an int32 so the sign extends, then scale.
      int32_t v = static_cast<int32_t>(ReadU32(p - 1) & 0xFFFFFF00u);
      return static_cast<float>(v / 256) / 8388608.0f;
    }
    case WavFormat::Float32: {
      uint32_t bits = ReadU32(p);
      float v;
      std::memcpy(&v, &bits, sizeof v);
      return v;
    }
  }
  return 0.0f;
}

int BytesPerSample(WavFormat format) {
  return format == WavFormat::Pcm16 ? 2 : format == WavFormat::Pcm24 ? 3 : 4;
}

int32_t QuantiseSample(float x, double scale, int32_t low, int32_t high) {
  double v = std::nearbyint(static_cast<double>(x) * scale);
  if (!(v >= low)) return low;  // also catches NaN
  if (v > high) return high;
  return static_cast<int32_t>(v);
}

}  // namespace

bool ReadWav(const std::string& path, WavAudio& audio, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes, error)) return false;
  // One spare byte in front lets the 24-bit decoder read a whole int32.
  bytes.insert(bytes.begin(), 0);
  const uint8_t* base = bytes.data() + 1;
  const size_t size = bytes.size() - 1;
  if (size < 12 || std::memcmp(base, "RIFF", 4) != 0 || std::memcmp(base + 8, "WAVE", 4) != 0) {
    error = path + ": not a RIFF/WAVE file";
    return false;
  }
  bool haveFormat = false;
  uint16_t tag = 0, channels = 0, bits = 0;
  uint32_t rate = 0;
  const uint8_t* data = nullptr;
  size_t dataBytes = 0;
  size_t pos = 12;
  while (pos + 8 <= size) {
    const uint8_t* chunk = base + pos;
    size_t chunkBytes = ReadU32(chunk + 4);
    size_t available = size - pos - 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (chunkBytes < 16 || chunkBytes > available) {
        error = path + ": bad fmt chunk";
        return false;
      }
      tag = ReadU16(chunk + 8);
      channels = ReadU16(chunk + 10);
      rate = ReadU32(chunk + 12);
      bits = ReadU16(chunk + 22);
      if (tag == kFormatExtensible) {
        if (chunkBytes < 40) {
          error = path + ": short extensible fmt chunk";
          return false;
        }
        tag = ReadU16(chunk + 8 + 24);  // first two bytes of the subformat GUID
      }
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      data = chunk + 8;
      // Writers that stream sometimes leave the size unset: take what is there.
      dataBytes = chunkBytes < available ? chunkBytes : available;
    }
    if (chunkBytes > available) break;
    pos += 8 + chunkBytes + (chunkBytes & 1);
  }
  if (!haveFormat || data == nullptr) {
    error = path + ": missing fmt or data chunk";
    return false;
  }
  WavFormat format;
  if (tag == kFormatPcm && bits == 16) {
    format = WavFormat::Pcm16;
  } else if (tag == kFormatPcm && bits == 24) {
    format = WavFormat::Pcm24;
  } else if (tag == kFormatFloat && bits == 32) {
    format = WavFormat::Float32;
  } else {
    error = path + ": unsupported sample format (need 16/24-bit PCM or 32-bit float)";
    return false;
  }
  if (channels < 1 || channels > kWavMaxChannels || rate < 1 || rate > 1000000) {
    error = path + ": unsupported channel count or sample rate";
    return false;
  }
  const size_t frameBytes = static_cast<size_t>(channels) * BytesPerSample(format);
  const size_t frames = dataBytes / frameBytes;  // a trailing partial frame is dropped
  audio.sampleRate = static_cast<int>(rate);
  audio.format = format;
  audio.channels.assign(channels, std::vector<float>(frames));
  for (size_t f = 0; f < frames; ++f) {
    for (size_t c = 0; c < channels; ++c) {
      audio.channels[c][f] =
          DecodeSample(data + f * frameBytes + c * BytesPerSample(format), format);
    }
  }
  return true;
}

bool WriteWav(const std::string& path, const WavAudio& audio, WavFormat format,
              std::string& error) {
  const size_t channels = audio.channels.size();
  if (channels < 1 || channels > kWavMaxChannels) {
    error = "cannot write " + path + ": unsupported channel count";
    return false;
  }
  const size_t frames = audio.frames();
  const int sampleBytes = BytesPerSample(format);
  const uint64_t dataBytes = static_cast<uint64_t>(frames) * channels * sampleBytes;
  if (dataBytes > 0xFFFFFF00u) {
    error = "cannot write " + path + ": too long for a WAV file";
    return false;
  }
  // A format other than PCM carries the extension size field, here 0.
  const bool extended = format == WavFormat::Float32;
  const uint32_t fmtBytes = extended ? 18 : 16;
  std::vector<uint8_t> out;
  out.reserve(46 + dataBytes + 1);
  PutTag(out, "RIFF");
  PutU32(out, static_cast<uint32_t>(20 + fmtBytes + dataBytes + (dataBytes & 1)));
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutU32(out, fmtBytes);
  PutU16(out, format == WavFormat::Float32 ? kFormatFloat : kFormatPcm);
  PutU16(out, static_cast<uint32_t>(channels));
  PutU32(out, static_cast<uint32_t>(audio.sampleRate));
  PutU32(out, static_cast<uint32_t>(audio.sampleRate * channels * sampleBytes));
  PutU16(out, static_cast<uint32_t>(channels * sampleBytes));
  PutU16(out, static_cast<uint32_t>(sampleBytes * 8));
  if (extended) PutU16(out, 0);
  PutTag(out, "data");
  PutU32(out, static_cast<uint32_t>(dataBytes));
  for (size_t f = 0; f < frames; ++f) {
    for (size_t c = 0; c < channels; ++c) {
      const float x = audio.channels[c][f];
      if (format == WavFormat::Pcm16) {
        PutU16(out, static_cast<uint32_t>(QuantiseSample(x, 32768.0, -32768, 32767)) & 0xFFFF);
      } else if (format == WavFormat::Pcm24) {
        uint32_t v = static_cast<uint32_t>(QuantiseSample(x, 8388608.0, -8388608, 8388607));
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
        out.push_back(static_cast<uint8_t>(v >> 16));
      } else {
        uint32_t bits;
        std::memcpy(&bits, &x, sizeof bits);
        PutU32(out, bits);
      }
    }
  }
  if (dataBytes & 1) out.push_back(0);
  FILE* file = std::fopen(path.c_str(), "wb");
  bool ok = file != nullptr && std::fwrite(out.data(), 1, out.size(), file) == out.size();
  if (file != nullptr && std::fclose(file) != 0) ok = false;
  if (!ok) error = "cannot write " + path;
  return ok;
}

bool ParseWavFormat(const std::string& name, WavFormat& format) {
  if (name == "pcm16") {
    format = WavFormat::Pcm16;
  } else if (name == "pcm24") {
    format = WavFormat::Pcm24;
  } else if (name == "float" || name == "float32") {
    format = WavFormat::Float32;
  } else {
    return false;
  }
  return true;
}

const char* WavFormatName(WavFormat format) {
  switch (format) {
    case WavFormat::Pcm16:
      return "pcm16";
    case WavFormat::Pcm24:
      return "pcm24";
    case WavFormat::Float32:
      return "float";
  }
  return "?";
}
