// Replays files through a fuzz target's entry without libFuzzer, so that every build, with any
// compiler and under the sanitizers, runs the committed corpus and its regressions through the
// same invariant checks as the fuzzer does. Arguments are files or folders (read recursively, in
// name order); a run that finds no input at all fails, since a moved corpus must not pass quietly.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& where) {
  std::vector<std::filesystem::path> inputs;
  if (std::filesystem::is_directory(where)) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(where)) {
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
  } else if (std::filesystem::is_regular_file(where)) {
    inputs.push_back(where);
  }
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  LLVMFuzzerInitialize(&argc, &argv);
  int replayed = 0;
  for (int i = 1; i < argc; ++i) {
    for (const auto& input : InputsOf(argv[i])) {
      std::ifstream file(input, std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(file), {}};
      if (!file.good() && !file.eof()) {
        std::fprintf(stderr, "cannot read %s\n", input.c_str());
        return 1;
      }
      std::fprintf(stderr, "replaying %s\n", input.c_str());
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++replayed;
    }
  }
  std::printf("%d inputs replayed, no invariant broken\n", replayed);
  return replayed > 0 ? 0 : 1;
}
