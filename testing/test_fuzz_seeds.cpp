// test_fuzz_seeds: test support: the main of a fuzz target built without
// libFuzzer, so that ctest runs the target's checks over its seeds.
//
// Usage: <target> SEED_FOLDER_OR_FILE...: passes every file (a folder's files
// in name order) to LLVMFuzzerTestOneInput once, in a buffer of its exact
// size. A failed check aborts; no seed at all is a failure too.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  std::set<std::filesystem::path> seeds;
  for (int i = 1; i < argc; ++i) {
    if (std::filesystem::is_directory(argv[i])) {
      for (const auto& entry : std::filesystem::directory_iterator(argv[i])) seeds.insert(entry.path());
    } else {
      seeds.insert(argv[i]);
    }
  }
  for (const auto& seed : seeds) {
    std::ifstream in(seed, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", seed.c_str());
      return 1;
    }
    const std::vector<uint8_t> data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::printf("%s (%zu bytes)\n", seed.c_str(), data.size());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(data.data(), data.size());
  }
  if (seeds.empty()) std::fputs("no seeds\n", stderr);
  return seeds.empty() ? 1 : 0;
}
