#include "graphics/png_loader.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "graphics/image_loader_list.h"
#include "graphics/memory_bitmap.h"

namespace {

// Encodes an image with libpng into memory; rows hold packed samples as
// libpng expects them for the given type and depth.
struct PngPicture {
  uint32_t width;
  uint32_t height;
  int bitDepth;
  int colourType;
  std::vector<std::vector<uint8_t>> rows;
  std::vector<png_color> palette;
  std::vector<uint8_t> paletteAlpha;
};

void AppendToVector(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void NoFlush(png_structp) {}

std::vector<uint8_t> Encode(PngPicture& picture) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png)) != 0) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "encoding failed";
    return {};
  }
  png_set_write_fn(png, &out, AppendToVector, NoFlush);
  png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colourType,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!picture.palette.empty()) {
    png_set_PLTE(png, info, picture.palette.data(), static_cast<int>(picture.palette.size()));
  }
  if (!picture.paletteAlpha.empty()) {
    png_set_tRNS(png, info, picture.paletteAlpha.data(), static_cast<int>(picture.paletteAlpha.size()),
                 nullptr);
  }
  png_write_info(png, info);
  for (auto& row : picture.rows) png_write_row(png, row.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::unique_ptr<Bitmap> Decode(const std::vector<uint8_t>& file) {
  return std::unique_ptr<Bitmap>(LoadPngFromMemory(file.data(), file.size(), nullptr));
}

Pixel At(Bitmap& bitmap, int32_t x, int32_t y) {
  return bitmap.GetBits()[static_cast<intptr_t>(y) * bitmap.GetRowSpan() + x];
}

std::vector<uint8_t> RgbImage() {
  PngPicture picture{3, 2, 8, PNG_COLOR_TYPE_RGB, {}, {}, {}};
  picture.rows = {{255, 0, 0, 0, 255, 0, 0, 0, 255}, {1, 2, 3, 10, 20, 30, 255, 255, 255}};
  return Encode(picture);
}

TEST(PngLoader, RgbGetsOpaqueAlpha) {
  auto bitmap = Decode(RgbImage());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->GetWidth(), 3);
  EXPECT_EQ(bitmap->GetHeight(), 2);
  EXPECT_EQ(bitmap->GetRowSpan(), 4);
  EXPECT_EQ(At(*bitmap, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(At(*bitmap, 1, 0), 0xFF00FF00u);
  EXPECT_EQ(At(*bitmap, 2, 0), 0xFF0000FFu);
  EXPECT_EQ(At(*bitmap, 0, 1), 0xFF010203u);
  EXPECT_EQ(At(*bitmap, 1, 1), 0xFF0A141Eu);
}

TEST(PngLoader, PaletteWithTransparencyGetsPerPixelAlpha) {
  PngPicture picture{4, 1, 2, PNG_COLOR_TYPE_PALETTE, {}, {}, {}};
  picture.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {100, 110, 120}};
  picture.paletteAlpha = {0, 128, 255};  // entry 3 has no alpha: opaque
  picture.rows = {{0x1B}};               // indices 0, 1, 2, 3 at two bits each
  auto bitmap = Decode(Encode(picture));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(At(*bitmap, 0, 0), 0x000A141Eu);
  EXPECT_EQ(At(*bitmap, 1, 0), 0x8028323Cu);
  EXPECT_EQ(At(*bitmap, 2, 0), 0xFF46505Au);
  EXPECT_EQ(At(*bitmap, 3, 0), 0xFF646E78u);
}

TEST(PngLoader, OneBitGreyIsBlackAndWhite) {
  PngPicture picture{10, 2, 1, PNG_COLOR_TYPE_GRAY, {}, {}, {}};
  picture.rows = {{0xA5, 0x80}, {0x00, 0x40}};  // 1010010110, 0000000001
  auto bitmap = Decode(Encode(picture));
  ASSERT_NE(bitmap, nullptr);
  const char* first = "1010010110";
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(At(*bitmap, x, 0), first[x] == '1' ? 0xFFFFFFFFu : 0xFF000000u) << x;
    EXPECT_EQ(At(*bitmap, x, 1), x == 9 ? 0xFFFFFFFFu : 0xFF000000u) << x;
  }
}

TEST(PngLoader, SixteenBitRgbaKeepsAlpha) {
  PngPicture picture{2, 1, 16, PNG_COLOR_TYPE_RGB_ALPHA, {}, {}, {}};
  // Big-endian 16-bit samples; stripping keeps the high byte.
  picture.rows = {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0x80, 0x01,  //
                0xFF, 0xFF, 0x00, 0x00, 0x7F, 0xFF, 0x00, 0x10}};
  auto bitmap = Decode(Encode(picture));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(At(*bitmap, 0, 0), 0x8012569Au);
  EXPECT_EQ(At(*bitmap, 1, 0), 0x00FF007Fu);
}

TEST(PngLoader, GreyAlphaBecomesGreyRgb) {
  PngPicture picture{1, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA, {}, {}, {}};
  picture.rows = {{0x40, 0xC0}};
  auto bitmap = Decode(Encode(picture));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(At(*bitmap, 0, 0), 0xC0404040u);
}

TEST(PngLoader, TruncatedAndCorruptFilesGiveNull) {
  std::vector<uint8_t> good = RgbImage();
  // The image is complete before the final 12-byte IEND chunk, which the
  // loader does not need; anything cut shorter must fail.
  const size_t imageEnd = good.size() - 12;
  for (size_t length = 0; length < imageEnd; ++length) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(Decode(cut), nullptr) << length;
  }
  // Every single flipped byte past the signature is caught by a chunk CRC
  // (or the signature check), so none decodes.
  for (size_t i = 0; i < imageEnd; ++i) {
    std::vector<uint8_t> bad = good;
    bad[i] ^= 0x55;
    auto bitmap = Decode(bad);
    if (i >= 8 && i < 12) continue;  // a chunk length: may still be caught later or not at all
    EXPECT_EQ(bitmap, nullptr) << i;
  }
  EXPECT_EQ(LoadPngFromMemory(nullptr, 100, nullptr), nullptr);
}

// A PNG whose header claims a size: signature, IHDR with a valid CRC, and
// one IDAT holding a single compressed row (the rest is missing).
std::vector<uint8_t> HeaderClaiming(uint32_t width, uint32_t height) {
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  auto chunk = [&out](const char* type, const std::vector<uint8_t>& data) {
    uint32_t length = static_cast<uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(length >> shift));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    uLong crc = crc32(0, body.data(), static_cast<uInt>(body.size()));
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(crc >> shift));
  };
  std::vector<uint8_t> ihdr;
  for (uint32_t v : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8) ihdr.push_back(static_cast<uint8_t>(v >> shift));
  }
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA
  chunk("IHDR", ihdr);
  std::vector<uint8_t> row(1 + 4 * 16, 0);
  std::vector<uint8_t> packed(compressBound(static_cast<uLong>(row.size())));
  uLongf packedSize = static_cast<uLongf>(packed.size());
  compress(packed.data(), &packedSize, row.data(), static_cast<uLong>(row.size()));
  packed.resize(packedSize);
  chunk("IDAT", packed);
  chunk("IEND", {});
  return out;
}

TEST(PngLoader, HugeDimensionsAreRefusedBeforeAllocating) {
  // 65536 x 65536 x 4 bytes would wrap a 32-bit byte count to 0.
  EXPECT_EQ(Decode(HeaderClaiming(65536, 65536)), nullptr);
  EXPECT_EQ(Decode(HeaderClaiming(16385, 1)), nullptr);
  EXPECT_EQ(Decode(HeaderClaiming(1, 16385)), nullptr);
  // Within the limit the same file is only short of data.
  EXPECT_EQ(Decode(HeaderClaiming(16, 2)), nullptr);
  MemoryBitmap dest(2, 2, 4);
  EXPECT_EQ(LoadPngFromMemory(HeaderClaiming(40000, 40000).data(), HeaderClaiming(40000, 40000).size(), &dest), nullptr);
  EXPECT_EQ(dest.GetWidth(), 2);
}

// A 100 x 100 RGB image whose pixel data is one stored (uncompressed)
// deflate block, cut short while its IDAT chunk still claims the full length.
std::vector<uint8_t> StoredImageCutShort(size_t keptRawBytes) {
  std::vector<uint8_t> raw(100 * (1 + 3 * 100), 0x7F);
  for (size_t row = 0; row < 100; ++row) raw[row * 301] = 0;  // filter: none
  std::vector<uint8_t> stream = {0x78, 0x01, 0x01};  // zlib header, final stored block
  uint16_t length = static_cast<uint16_t>(raw.size());
  stream.insert(stream.end(), {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                               static_cast<uint8_t>(~length), static_cast<uint8_t>(~length >> 8)});
  stream.insert(stream.end(), raw.begin(), raw.end());
  uLong adler = adler32(adler32(0, nullptr, 0), raw.data(), static_cast<uInt>(raw.size()));
  for (int shift = 24; shift >= 0; shift -= 8) stream.push_back(static_cast<uint8_t>(adler >> shift));

  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  auto put32 = [&out](uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
  };
  std::vector<uint8_t> ihdr = {'I', 'H', 'D', 'R', 0, 0, 0, 100, 0, 0, 0, 100, 8, 2, 0, 0, 0};
  put32(13);
  out.insert(out.end(), ihdr.begin(), ihdr.end());
  put32(static_cast<uint32_t>(crc32(0, ihdr.data(), static_cast<uInt>(ihdr.size()))));
  put32(static_cast<uint32_t>(stream.size()));
  out.insert(out.end(), {'I', 'D', 'A', 'T'});
  out.insert(out.end(), stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(7 + keptRawBytes));
  return out;
}

TEST(PngLoader, DataCutShortInsideAChunkGivesNull) {
  EXPECT_EQ(Decode(StoredImageCutShort(1000)), nullptr);
  EXPECT_EQ(Decode(StoredImageCutShort(30099)), nullptr);
}

TEST(PngLoader, SignatureAloneGivesNull) {
  std::vector<uint8_t> good = RgbImage();
  std::vector<uint8_t> signature(good.begin(), good.begin() + 8);
  EXPECT_EQ(Decode(signature), nullptr);
}

TEST(PngLoader, DecodesIntoAGivenBitmap) {
  MemoryBitmap dest(50, 50, 4);
  std::vector<uint8_t> file = RgbImage();
  EXPECT_EQ(LoadPngFromMemory(file.data(), file.size(), &dest), &dest);
  EXPECT_EQ(dest.GetWidth(), 3);
  EXPECT_EQ(dest.GetHeight(), 2);
  EXPECT_EQ(At(dest, 2, 1), 0xFFFFFFFFu);
}

TEST(PngLoader, FileLoaderAndListEntry) {
  std::string path = ::testing::TempDir() + "quorvel_png_test.PNG";
  std::vector<uint8_t> file = RgbImage();
  std::FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(file.data(), 1, file.size(), out);
  std::fclose(out);

  std::unique_ptr<Bitmap> loaded(LoadPngFromFile(path.c_str(), nullptr));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(At(*loaded, 1, 0), 0xFF00FF00u);
  EXPECT_EQ(LoadPngFromFile((path + ".missing").c_str(), nullptr), nullptr);

  std::unique_ptr<Bitmap> viaEntry(LoadPngWithExtensionCheck(path.c_str(), true, nullptr));
  EXPECT_NE(viaEntry, nullptr);
  std::string renamed = path + ".bak";
  std::rename(path.c_str(), renamed.c_str());
  EXPECT_EQ(LoadPngWithExtensionCheck(renamed.c_str(), true, nullptr), nullptr);
  std::unique_ptr<Bitmap> unchecked(LoadPngWithExtensionCheck(renamed.c_str(), false, nullptr));
  EXPECT_NE(unchecked, nullptr);
  EXPECT_EQ(LoadPngWithExtensionCheck("dir.png/image", true, nullptr), nullptr);
  std::remove(renamed.c_str());

  bool found = false;
  for (ImageLoaderEntry* e = ImageLoaderList::First(); e != nullptr; e = e->next) {
    if (std::string(e->describe()) == "PNG files (*.PNG)") found = e->load == LoadPngWithExtensionCheck;
  }
  EXPECT_TRUE(found);
}

}  // namespace
