// The editor's golden images (tests/editor/golden, the headless snapshots) as the pixels an
// X11 test reads back from a window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace x11_test {

/// Golden image `name` of EDITOR_GOLDEN_DIR as 0xRRGGBB, row by row (empty when unreadable).
std::vector<std::uint32_t> goldenEditorPixels(const std::string& name);

}  // namespace x11_test
