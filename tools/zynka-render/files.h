// Files named by UTF-8 paths, as the tools' arguments are, on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zrender {

/// A filesystem path from UTF-8 text.
std::filesystem::path pathOf(const std::string& utf8);

/// Opens a file by its UTF-8 path (wide-character API on Windows).
std::FILE* openFile(const std::string& path, const char* mode);

/// The whole file, or nullopt and a one-line error: it cannot be read, or it holds more than
/// maxBytes, too much for `kind` ("a MIDI file") to be.
std::optional<std::vector<std::uint8_t>> readFile(const std::string& path, std::size_t maxBytes,
                                                  const char* kind, std::string& error);

}  // namespace zrender
