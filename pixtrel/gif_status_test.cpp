#include <gtest/gtest.h>

#include "gif_writer.h"

// Each text replaces the one before it in the buffer, longer or shorter.
TEST(GifStatusTest, TextsOfKnownAndUnknownCodes) {
  const std::pair<unsigned, std::string> cases[] = {
      {0, "(Call succesfull)"}, {1, "Error creating file"}, {2, "Error writing to file"}, {3, "Out of memory"},
      {4, "Out of memory!"}, {5, "Undefined error 05"}, {10, "Undefined error 0A"}, {255, "Undefined error FF"},
      {260, "Out of memory!"}, {0, "(Call succesfull)"}};
  for (const auto& [status, text] : cases) EXPECT_EQ(gif_status_text(status), text) << status;
}
