// Where pixtrel's time per screen goes: rendering a frame, and coding one
// image (rendering included) into a stream that discards its bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

#include "gif_writer.h"
#include "screen.h"

namespace {

void fill_screen(bool random) {
  std::mt19937 generator(7);
  for (uint8_t& b : converter.screen_data) b = random ? generator() & 0xFF : 0;
}

void BM_RenderFrame(benchmark::State& state) {
  fill_screen(true);
  for (auto _ : state) {
    render_frame(1);
    benchmark::DoNotOptimize(converter.pixel_frame.data());
  }
}
BENCHMARK(BM_RenderFrame);

void BM_CompressImage(benchmark::State& state) {
  fill_screen(state.range(0) != 0);
  converter.animated = false;
  gif_writer.gif_file.reset(std::fopen("/dev/null", "wb"));
  gif_writer.colour_count = 16;
  for (auto _ : state) {
    if (gif_compress_image(0) != GIF_OK) state.SkipWithError("write failed");
  }
  gif_writer.gif_file.reset();
  state.SetItemsProcessed(state.iterations() * kFramePixels);
}
BENCHMARK(BM_CompressImage)->Arg(0)->Arg(1)->ArgName("random");

}  // namespace

BENCHMARK_MAIN();
