#include "screen.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(ScreenTest, BitmapOrderAttributesAndFlash) {
  auto fill = [](uint8_t bitmap, uint8_t attribute) {
    std::fill_n(converter.screen_data.begin(), kBitmapBytes, bitmap);
    std::fill(converter.screen_data.begin() + kBitmapBytes, converter.screen_data.end(), attribute);
  };
  struct Pixel { int x, y; size_t offset; uint8_t mask; };
  for (const Pixel& p : {Pixel{0, 0, 0, 0x80}, Pixel{0, 1, 256, 0x80}, Pixel{0, 8, 32, 0x80},
                         Pixel{0, 64, 2048, 0x80}, Pixel{9, 0, 1, 0x40}, Pixel{255, 191, 6143, 0x01}}) {
    fill(0, 0x07);  // white ink on black paper
    converter.screen_data[p.offset] = p.mask;
    render_frame(0);
    EXPECT_EQ(std::count(converter.pixel_frame.begin(), converter.pixel_frame.end(), 7), 1) << p.offset;
    EXPECT_EQ(frame_pixel(p.x, p.y), 7) << p.offset;
  }
  struct Cell { uint8_t attribute, phase; int set, clear; };
  for (const Cell& c : {Cell{0x47, 0, 15, 8}, Cell{0x47, 1, 15, 8}, Cell{0xB8, 0, 0, 7}, Cell{0xB8, 1, 7, 0},
                        Cell{0xFA, 1, 15, 10}}) {
    fill(0xF0, c.attribute);
    render_frame(c.phase);
    EXPECT_EQ(frame_pixel(0, 0), c.set) << int{c.attribute} << " phase " << int{c.phase};
    EXPECT_EQ(frame_pixel(255, 191), c.clear) << int{c.attribute} << " phase " << int{c.phase};
  }
  fill(0xFF, 0x38);
  converter.flash_found = false;
  scan_for_flash();
  EXPECT_FALSE(converter.flash_found);
  converter.screen_data[6911] = 0x80;
  scan_for_flash();
  EXPECT_TRUE(converter.flash_found);
}
