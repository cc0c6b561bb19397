// The cost of one still GIF (rendering, coding, writing to /dev/null) for a
// blank screen and for random screens, without the driver's file handling.
// The random cases go round 64 distinct screens, since a branch predictor
// that sees one screen again and again learns it.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "gif_writer.h"
#include "screen.h"

namespace {

using Screen = std::array<uint8_t, kScreenBytes>;

void write_still_gif(benchmark::State& state, const std::vector<Screen>& screens) {
  size_t next = 0;
  for (auto _ : state) {
    converter.screen_data = screens[next++ % screens.size()];
    if (gif_create("/dev/null", 320, 240, kScreenColours, 6) != GIF_OK) state.SkipWithError("create");
    for (int i = 0; i < kScreenColours; i++) {
      gif_set_colour(i, screen_palette[i].red, screen_palette[i].green, screen_palette[i].blue);
    }
    gif_write_globals();
    if (gif_compress_image(0) != GIF_OK || gif_close() != GIF_OK) state.SkipWithError("write");
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kFramePixels));
}

// 64 screens: random bitmaps under random attributes, or under 0x38 (black
// ink on white paper) when `random_attributes` is false.
std::vector<Screen> random_screens(bool random_attributes) {
  std::mt19937 rng(4);
  std::vector<Screen> screens(64);
  for (auto& screen : screens) {
    for (size_t i = 0; i < kScreenBytes; i++) {
      screen[i] = i < kBitmapBytes || random_attributes ? static_cast<uint8_t>(rng()) : 0x38;
    }
  }
  return screens;
}

void BM_BlankScreen(benchmark::State& state) {
  converter.animated = false;
  write_still_gif(state, {Screen{}});
}

void BM_RandomScreen(benchmark::State& state) {
  converter.animated = false;
  write_still_gif(state, random_screens(true));
}

void BM_RandomBitmapOnePaper(benchmark::State& state) {
  converter.animated = false;
  write_still_gif(state, random_screens(false));
}

BENCHMARK(BM_BlankScreen);
BENCHMARK(BM_RandomScreen);
BENCHMARK(BM_RandomBitmapOnePaper);

}  // namespace

BENCHMARK_MAIN();
