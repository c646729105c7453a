// Throughput of the blit, fill and rotated-blit loops in pixels per second,
// beside a plain memcpy of the same bytes for scale.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "graphics/area_downscale.h"
#include "graphics/blit.h"
#include "graphics/memory_bitmap.h"
#include "graphics/png_loader.h"
#include "graphics/rotated_blit.h"

namespace {

constexpr int32_t kSide = 512;

// An image with a mix of transparent, partly and fully opaque pixels, like
// the editor's control images.
void FillPattern(MemoryBitmap& bitmap) {
  uint32_t state = 1;
  for (int32_t y = 0; y < bitmap.GetHeight(); ++y) {
    Pixel* row = bitmap.GetBits() + y * bitmap.GetRowSpan();
    for (int32_t x = 0; x < bitmap.GetWidth(); ++x) {
      state = state * 1664525u + 1013904223u;
      row[x] = state;
    }
  }
}

struct Images {
  MemoryBitmap src{kSide, kSide, 4};
  MemoryBitmap dest{kSide, kSide, 4};
  Images() {
    FillPattern(src);
    FillPattern(dest);
  }
};

void ReportPixels(benchmark::State& state, int64_t pixelsPerIteration) {
  state.SetItemsProcessed(state.iterations() * pixelsPerIteration);
  state.SetBytesProcessed(state.iterations() * pixelsPerIteration * 4);
}

void BM_Memcpy(benchmark::State& state) {
  Images images;
  size_t bytes = static_cast<size_t>(kSide) * kSide * 4;
  for (auto _ : state) {
    std::memcpy(images.dest.GetBits(), images.src.GetBits(), bytes);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, int64_t{kSide} * kSide);
}
BENCHMARK(BM_Memcpy);

void BM_BlitOpaqueCopy(benchmark::State& state) {
  Images images;
  for (auto _ : state) {
    Blit(&images.dest, &images.src, 0, 0, nullptr, 1.0f, kBlendCopy);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, int64_t{kSide} * kSide);
}
BENCHMARK(BM_BlitOpaqueCopy);

void BM_BlitSourceAlpha(benchmark::State& state) {
  Images images;
  float alpha = static_cast<float>(state.range(0)) / 100.0f;
  for (auto _ : state) {
    Blit(&images.dest, &images.src, 0, 0, nullptr, alpha, kBlendSourceAlpha);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, int64_t{kSide} * kSide);
}
BENCHMARK(BM_BlitSourceAlpha)->Arg(100)->Arg(50);

void BM_FillRect(benchmark::State& state) {
  Images images;
  float alpha = static_cast<float>(state.range(0)) / 100.0f;
  for (auto _ : state) {
    FillRect(&images.dest, 0, 0, kSide, kSide, 0xFF336699u, alpha, kBlendCopy);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, int64_t{kSide} * kSide);
}
BENCHMARK(BM_FillRect)->Arg(100)->Arg(50)->Arg(30);

void BM_RotatedBlitBilinear50(benchmark::State& state) {
  MemoryBitmap knob(50, 50, 4);
  FillPattern(knob);
  MemoryBitmap dest(64, 64, 4);
  float angle = 0.0f;
  for (auto _ : state) {
    RotatedBlit(&dest, &knob, 7, 7, 50, 50, 0, 0, 50, 50, angle, false, 1.0f,
                kBlendSourceAlpha | kBlendBilinear, 0, 0);
    angle += 0.01f;
    benchmark::ClobberMemory();
  }
  ReportPixels(state, 50 * 50);
}
BENCHMARK(BM_RotatedBlitBilinear50);

// The editor's 200 % background drawn at 150 % (930 x 428): the area filter
// the editor uses, beside a bilinear resample of the same size for the cost
// of the alternative.
std::unique_ptr<Bitmap> LargeBackground() {
  const std::string path = std::string(QUORVEL_SOURCE_ROOT) + "/img/2x/bg.png";
  return std::unique_ptr<Bitmap>(LoadPngFromFile(path.c_str(), nullptr));
}

void BM_AreaDownscaleBackgroundTo150(benchmark::State& state) {
  std::unique_ptr<Bitmap> background = LargeBackground();
  MemoryBitmap dest(930, 428, 4);
  const AreaMapping x = AnchoredMapping(200, 150, 0, 1);
  const AreaMapping y = AnchoredMapping(200, 150, 0, 1);
  for (auto _ : state) {
    if (!AreaDownscale(&dest, background.get(), x, y)) state.SkipWithError("no image");
    benchmark::ClobberMemory();
  }
  ReportPixels(state, 930 * 428);
}
BENCHMARK(BM_AreaDownscaleBackgroundTo150)->Unit(benchmark::kMillisecond);

void BM_BilinearBackgroundTo150(benchmark::State& state) {
  std::unique_ptr<Bitmap> background = LargeBackground();
  MemoryBitmap dest(930, 428, 4);
  for (auto _ : state) {
    RotatedBlit(&dest, background.get(), 0, 0, 930, 428, 0, 0, 1240, 570.67f, 0.0f, false, 1.0f,
                kBlendCopy | kBlendBilinear, 0, 0);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, 930 * 428);
}
BENCHMARK(BM_BilinearBackgroundTo150)->Unit(benchmark::kMillisecond);

}  // namespace
