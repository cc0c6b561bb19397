// Tests of the format dialogue, fed from an in-memory console.
#include "format_table.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

struct Dialogue {
  explicit Dialogue(const std::string& input) : answers(input) {
    in = fmemopen(answers.data(), answers.size(), "r");
    out = open_memstream(&text, &text_size);
    init_program_state(state, Console{in, out, stderr});
  }
  ~Dialogue() {
    std::fclose(in);
    std::fclose(out);
    std::free(text);
  }
  std::string output() {
    std::fflush(out);
    return std::string(text, text_size);
  }
  std::string answers;
  FILE* in;
  FILE* out;
  char* text = nullptr;
  size_t text_size = 0;
  ProgramState state;
};

const std::string kTwoSided = "v)ortex 9x512x80x2; a)mstrad PCW 9x512x80x2;\nm)odify; o)k\nYour choice: ";

TEST(FormatTableTest, TwoSidedMenuOffersOnlyTheTwoSidedFormats) {
  Dialogue d("d\ns\n+\n0\nm\nv\nOK\n");
  EXPECT_EQ(select_format(d.state, FormatMenu::kTwoSided), Outcome::kMenu);
  EXPECT_EQ(d.output(), "Select format :\n" + kTwoSided + "unknown format.\n" + kTwoSided + "unknown format.\n" +
                            kTwoSided + "unknown format.\n" + kTwoSided + "unknown format.\n" + kTwoSided +
                            "Modify: not implemented.\n" + kTwoSided + "VORTEX-format set.\n" + kTwoSided + "Ok.\n");
  EXPECT_EQ(d.state.geometry.tracks, 80);
  EXPECT_EQ(d.state.geometry.sides, 2);
  EXPECT_EQ(d.state.geometry.track_size, 4864);
  EXPECT_EQ(d.state.track_format.first_sector_id, 1);
}

TEST(FormatTableTest, LastFormatWinsAndEndOfInputGivesUp) {
  Dialogue d("a\ns\n");
  EXPECT_EQ(select_format(d.state, FormatMenu::kFull), Outcome::kInputEnded);
  EXPECT_EQ(d.state.geometry.tracks, 40);
  EXPECT_EQ(d.state.track_format.first_sector_id, 0x41);
  EXPECT_EQ(d.state.disk_spec[0], 1);
}

}  // namespace
