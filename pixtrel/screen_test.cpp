#include "screen.h"

#include <gtest/gtest.h>

namespace {

void clear_screen(uint8_t attribute) {
  converter.screen_data.fill(0);
  std::fill(converter.screen_data.begin() + kBitmapBytes, converter.screen_data.end(), attribute);
}

TEST(ScreenTest, EachPixelComesFromItsBitmapByteAndBit) {
  struct Case { int x, y; size_t offset; uint8_t mask; };
  for (const Case& c : {Case{0, 0, 0, 0x80}, Case{0, 1, 256, 0x80}, Case{0, 8, 32, 0x80},
                        Case{0, 64, 2048, 0x80}, Case{9, 0, 1, 0x40}, Case{255, 191, 6143, 0x01}}) {
    clear_screen(0x07);  // white ink on black paper
    converter.screen_data[c.offset] = c.mask;
    render_frame(0);
    int lit = 0;
    for (uint8_t index : converter.pixel_frame) lit += index != 0;
    EXPECT_EQ(lit, 1) << "offset " << c.offset;
    EXPECT_EQ(frame_pixel(c.x, c.y), 7) << "offset " << c.offset;
  }
}

TEST(ScreenTest, AttributesGiveInkAndPaperInBothPhases) {
  struct Case { uint8_t attribute; int phase, set, clear; };
  for (const Case& c : {Case{0x47, 0, 15, 8}, Case{0x47, 1, 15, 8}, Case{0xB8, 0, 0, 7},
                        Case{0xB8, 1, 7, 0}, Case{0xFA, 1, 15, 10}}) {
    clear_screen(c.attribute);
    std::fill(converter.screen_data.begin(), converter.screen_data.begin() + kBitmapBytes, 0xF0);
    render_frame(c.phase);
    EXPECT_EQ(frame_pixel(0, 0), c.set) << int{c.attribute} << " phase " << c.phase;
    EXPECT_EQ(frame_pixel(255, 191), c.clear) << int{c.attribute} << " phase " << c.phase;
  }
}

TEST(ScreenTest, FlashIsFoundInTheLastAttributeButNotInTheBitmap) {
  clear_screen(0x38);
  std::fill(converter.screen_data.begin(), converter.screen_data.begin() + kBitmapBytes, 0xFF);
  converter.flash_found = false;
  scan_for_flash();
  EXPECT_FALSE(converter.flash_found);
  converter.screen_data[6911] = 0x80;
  scan_for_flash();
  EXPECT_TRUE(converter.flash_found);
}

}  // namespace
