// test_fuzz_seeds: test support: the main of a fuzz target built without libFuzzer, so that ctest runs its checks:
// `<target> SEED_FOLDER` passes each file of the folder, in name order, to LLVMFuzzerTestOneInput in a buffer of its
// exact size. A failed check aborts; a folder without seeds fails too.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::set<std::filesystem::path> seeds;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) seeds.insert(entry.path());
  for (const auto& seed : seeds) {
    std::ifstream in(seed, std::ios::binary);
    const std::vector<uint8_t> data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::printf("%s (%zu bytes)\n", seed.c_str(), data.size());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(data.data(), data.size());
  }
  return seeds.empty() ? 1 : 0;
}
