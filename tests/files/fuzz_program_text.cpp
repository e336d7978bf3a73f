// libFuzzer target for the program line reader, the preset and bank loaders and the state reader.
// Build and run it with tests/files/run_fuzz.sh (clang with -fsanitize=fuzzer).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/program_state.h"
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
  if (failure.empty()) {
    // A state that reads writes back as the same text, and that text reads again.
    zynka::PluginState state;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (zynka::readState(text, state)) {
      const std::string written = zynka::formatState(state);
      zynka::PluginState again;
      if (!zynka::readState(written, again) || zynka::formatState(again) != written) failure = "state does not read back";
    }
  }
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
