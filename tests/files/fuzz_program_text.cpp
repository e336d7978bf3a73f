// libFuzzer target for the program line reader and the preset and bank loaders.
// Build and run it with tests/files/run_fuzz.sh (clang with -fsanitize=fuzzer).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/program_text.h"
#include "program_text_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string failure = zynka::test::checkEverything(data, size);
  if (failure.empty() && size > 0) {
    // The same bytes read from a file stream.
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file) {
      std::vector<zynka::ProgramRecord> bank(zynka::kNumPrograms);
      zynka::FileLineReader reader(file);
      if (zynka::readBank(reader, bank.data()) == zynka::ReadResult::kReadFailed) failure = "file reading failed";
      std::fclose(file);
    }
  }
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
