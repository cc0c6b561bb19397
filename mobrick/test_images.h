// test_images: DSK images built in the tests, independently of the program,
// and a fixture that runs mobrick in a fresh directory.
#ifndef MOBRICK_TEST_IMAGES_H_
#define MOBRICK_TEST_IMAGES_H_

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "run_program.h"

inline std::string disk_info(int tracks, int sides) {
  std::string block = "MV - CPCEMU Disk-File\r\nDisk-Info\r\n" + std::string(222, '\0');
  block[0x30] = char(tracks), block[0x31] = char(sides), block[0x33] = 0x13;
  return block;
}

// A Track-Info block with one list entry per ID, then the sector data.
inline std::string track_block(int track, int side, int size_code, const std::vector<int>& ids, const std::string& data) {
  std::string block = "Track-Info\r\n" + std::string(244, '\0');
  block[0x10] = char(track), block[0x11] = char(side), block[0x14] = char(size_code);
  block[0x15] = char(ids.size()), block[0x16] = 0x4E, block[0x17] = char(0xE5);
  for (size_t i = 0; i < ids.size() && i < 29; ++i) {
    block.replace(0x18 + 8 * i, 4, {char(track), char(side), char(ids[i]), char(size_code)});
  }
  return block + data;
}

// A 9 x 512 image whose track t side h holds the 4608 bytes of `dump` at
// (2t + h) x 4608, or, with no dump, 0xE5 and `disk_record` at the very start.
inline std::string expected_image(int tracks, int sides, int first_id, const std::string& disk_record, const std::string& dump = "") {
  std::string image = disk_info(tracks, sides), formatted = disk_record + std::string(4608 - disk_record.size(), char(0xE5));
  std::vector<int> ids;
  for (int i = 0; i < 9; ++i) ids.push_back(first_id + i);
  for (int t = 0; t < tracks; ++t) {
    for (int h = 0; h < sides; ++h) {
      image += track_block(t, h, 2, ids, dump.empty() ? formatted : dump.substr((2 * t + h) * 4608, 4608));
      formatted.replace(0, disk_record.size(), disk_record.size(), char(0xE5));
    }
  }
  return image;
}

inline std::string random_bytes(size_t size) {
  std::mt19937 gen(7);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = char(gen());
  return bytes;
}

class MobrickTest : public ::testing::Test {
 protected:
  RunResult mobrick(const std::string& input, int64_t file_size_limit = -1) {
    return run_program(MOBRICK_PATH, {}, RunOptions{dir.path(), input, "", file_size_limit});
  }
  std::string file(const std::string& name) { return read_file(dir / name); }
  TempDir dir;
};

#endif  // MOBRICK_TEST_IMAGES_H_
