// test_gif_frames: test support: a GIF file read by giflib, a decoder independent of ours. Kept apart from the
// writer's header, which names GIF_OK as giflib's does.
#ifndef PIXTREL_TEST_GIF_FRAMES_H_
#define PIXTREL_TEST_GIF_FRAMES_H_

#include <string>
#include <vector>

// Each image of the GIF file at `path`: its colour indices, row by row; none when giflib refuses the file.
std::vector<std::string> decoded_frames(const std::string& path);

#endif  // PIXTREL_TEST_GIF_FRAMES_H_
