#include <cstdio>
#include <cstring>

#include "gif_writer.h"

namespace {

constexpr size_t kStatusTextSize = 64;
char status_text[kStatusTextSize];

constexpr const char* kFixedTexts[] = {
    "(Call succesfull)",    // GIF_OK
    "Error creating file",  // GIF_ERR_CREATE
    "Error writing to file",  // GIF_ERR_WRITE
    "Out of memory",        // GIF_ERR_MEMORY
    "Out of memory!",       // GIF_ERR_CODER_MEMORY
};
constexpr unsigned kFixedTextCount = sizeof kFixedTexts / sizeof kFixedTexts[0];

}  // namespace

const char* gif_status_text(unsigned status) {
  const unsigned code = status & 0xFF;
  if (code < kFixedTextCount) {
    std::snprintf(status_text, sizeof status_text, "%s", kFixedTexts[code]);
  } else {
    std::snprintf(status_text, sizeof status_text, "Undefined error %02X", code);
  }
  return status_text;
}
