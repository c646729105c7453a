#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "graphics/memory_bitmap.h"
#include "graphics/png_loader.h"

namespace {

// The build directory: from QUORVEL_BINARY_DIR when set, else the folder of
// this test executable (which ctest runs from the same build directory).
std::string BuildDirectory() {
  if (const char* fromEnvironment = std::getenv("QUORVEL_BINARY_DIR")) return fromEnvironment;
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string exe(path, length);
  size_t slash = exe.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
}

class ModuleResources : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string dll = BuildDirectory() + "\\Quorvel.dll";
    module_ = LoadLibraryA(dll.c_str());
    ASSERT_NE(module_, nullptr) << "cannot load " << dll;
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  HMODULE module_ = nullptr;
};

TEST_F(ModuleResources, EditorImagesDecodeAtTheirSizes) {
  const struct {
    uint16_t id;
    int32_t width;
    int32_t height;
  } images[] = {{100, 620, 285}, {101, 50, 50}, {102, 112, 31}, {103, 112, 31}, {104, 22, 20},
                {105, 70, 72},   {106, 31, 14}, {107, 11, 7},   {108, 11, 7}};
  // Each image also at 200 %, at twice its size, 100 ids further on.
  for (int scale = 1; scale <= 2; ++scale) {
    for (const auto& image : images) {
      const auto id = static_cast<uint16_t>(image.id + 100 * (scale - 1));
      std::unique_ptr<Bitmap> bitmap(LoadPngFromResource(module_, id, nullptr));
      ASSERT_NE(bitmap, nullptr) << id;
      EXPECT_EQ(bitmap->GetWidth(), image.width * scale) << id;
      EXPECT_EQ(bitmap->GetHeight(), image.height * scale) << id;
      EXPECT_EQ(bitmap->GetRowSpan() % 4, 0);
    }
  }
  // The backgrounds are opaque everywhere.
  for (uint16_t id : {100, 200}) {
    std::unique_ptr<Bitmap> background(LoadPngFromResource(module_, id, nullptr));
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->GetBits()[0] >> 24, 0xFFu) << id;
  }
}

TEST_F(ModuleResources, MissingIdGivesNullAndDestIsReused) {
  EXPECT_EQ(LoadPngFromResource(module_, 999, nullptr), nullptr);
  MemoryBitmap dest(3, 3, 4);
  EXPECT_EQ(LoadPngFromResource(module_, 101, &dest), &dest);
  EXPECT_EQ(dest.GetWidth(), 50);
  EXPECT_EQ(dest.GetHeight(), 50);
  EXPECT_EQ(LoadPngFromResource(nullptr, 100, nullptr), nullptr);
}

}  // namespace
