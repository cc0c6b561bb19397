#include <gtest/gtest.h>

#include "gif_writer.h"

TEST(GifStatusTest, TextsOfKnownAndUnknownCodesInOneBuffer) {
  const std::pair<unsigned, std::string> cases[] = {
      {0, "(Call succesfull)"}, {1, "Error creating file"}, {2, "Error writing to file"}, {3, "Out of memory"},
      {4, "Out of memory!"}, {5, "Undefined error 05"}, {10, "Undefined error 0A"}, {255, "Undefined error FF"},
      {260, "Out of memory!"}};
  for (const auto& [status, text] : cases) EXPECT_EQ(gif_status_text(status), text) << status;
  const char* first = gif_status_text(GIF_ERR_WRITE);
  EXPECT_EQ(gif_status_text(GIF_OK), first);
  EXPECT_STREQ(first, "(Call succesfull)");
}
