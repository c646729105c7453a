// Replays inputs through a fuzz target's LLVMFuzzerTestOneInput without
// libFuzzer, so the seeds and every input that once crashed run in the
// ordinary test suite under the ordinary compiler and sanitizers.
//
//   fuzz_replay_<target> DIR|FILE...
//
// Runs every regular file of each directory (sorted, not recursive, dot files
// skipped) and each file given; a missing directory counts as empty. Prints
// how many inputs ran.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    const fs::path path(argv[i]);
    std::error_code error;
    if (fs::is_directory(path, error)) {
      for (const fs::directory_entry& entry : fs::directory_iterator(path)) {
        // Dot files only keep empty folders in version control.
        const bool hidden = entry.path().filename().string().rfind('.', 0) == 0;
        if (entry.is_regular_file() && !hidden) files.push_back(entry.path());
      }
    } else if (fs::is_regular_file(path, error)) {
      files.push_back(path);
    }
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
      fprintf(stderr, "cannot read %s\n", file.c_str());
      return 1;
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(stream),
                                     std::istreambuf_iterator<char>()};
    fprintf(stderr, "replay %s (%zu bytes)\n", file.c_str(), bytes.size());
    // A copy of exactly the input's size, as libFuzzer hands it over.
    std::vector<uint8_t> exact(bytes);
    exact.shrink_to_fit();
    LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
  }
  printf("%zu inputs replayed\n", files.size());
  return 0;
}
