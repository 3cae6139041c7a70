// A stand-in for libFuzzer's driver, so every fuzz target also builds with
// GCC and runs as an ordinary test: it feeds the target a fixed,
// reproducible stream of pseudo-random inputs (and any files named on the
// command line), which under the sanitizer build catches gross faults even
// where clang's fuzzer is not at hand.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::mt19937 random(20261208u);
  const char* runs_text = std::getenv("WEBHOARD_FUZZ_RUNS");
  const int runs = runs_text != nullptr ? std::atoi(runs_text) : 300;
  std::vector<std::uint8_t> input;
  for (int run = 0; run < runs; ++run) {
    const std::size_t size = random() % (run < runs / 2 ? 64u : 4096u);
    input.resize(size);
    // Mostly small byte values and printable text, which reach deeper into
    // parsers of text and of little-endian counts than uniform noise does.
    for (auto& b : input) {
      const unsigned pick = random() % 4;
      b = static_cast<std::uint8_t>(pick == 0 ? random() % 256 : pick == 1 ? random() % 8 : 32 + random() % 95);
    }
    LLVMFuzzerTestOneInput(input.data(), input.size());
  }
  std::printf("%d inputs\n", runs + argc - 1);
  return 0;
}
