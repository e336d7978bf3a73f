// Preset and bank files on disk: reading them into program records, and writing
// them so that a failed save never destroys the file it was meant to replace.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>

#include "engine/program_text.h"

namespace zynka {

/// What reading a preset or bank file came to.
enum class FileReadResult {
  kRead,         // applied
  kCannotOpen,   // the file could not be opened or read; nothing applied
  kWrongHeader,  // not a preset (or bank) file; nothing applied
};

/// Opens a file for reading in binary mode; null when it cannot be opened. Any path the file
/// system allows works, non-ASCII names included.
std::FILE* openFileForReading(const std::filesystem::path& path);

/// Replaces the file at `target` (or creates it) with `contents`: the bytes go to a new file
/// beside it, which is flushed, closed and then renamed over the target. On any failure the new
/// file is removed, the target stays as it was, and false is returned.
bool replaceFile(const std::filesystem::path& target, std::string_view contents);

/// Reads a preset file into `record`, which changes only when kRead is returned (and then only
/// if its program line parsed, which `*parsed` tells if given).
FileReadResult readPresetFile(const std::filesystem::path& path, ProgramRecord& record, bool* parsed = nullptr);
/// Reads a bank file into `records[0]` to `records[kNumPrograms - 1]`, which change only when
/// kRead is returned (and then only those whose line parsed, which `parsed[i]` tells if given).
FileReadResult readBankFile(const std::filesystem::path& path, ProgramRecord* records, bool* parsed = nullptr);

/// Writes the preset file of `record`; false, with any old file intact, when that failed.
bool writePresetFile(const std::filesystem::path& path, const ProgramRecord& record);
/// Writes the bank file of `records[0]` to `records[kNumPrograms - 1]`; false, with any old file
/// intact, when that failed.
bool writeBankFile(const std::filesystem::path& path, const ProgramRecord* records);

}  // namespace zynka
