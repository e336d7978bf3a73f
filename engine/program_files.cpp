// Preset and bank files on disk.
#include "engine/program_files.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <new>
#include <string>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zynka {

namespace {

/// A name for the new file beside the target; short and fixed in length, so it fits wherever
/// the target's own name fits.
std::filesystem::path temporaryName() {
  static std::atomic<std::uint64_t> counter{0};
  std::uint64_t mix = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  mix ^= (counter.fetch_add(1) + 1) * 0x9E3779B97F4A7C15ull;
  mix ^= mix >> 29;
  char name[] = ".zynka-00000000.tmp";
  for (int i = 0; i < 8; ++i) name[7 + i] = "0123456789abcdef"[(mix >> (4 * i)) & 15];
  return name;
}

/// The target as it will be replaced: a symbolic link is followed, so the link stays and the
/// file it names gets the new contents.
std::filesystem::path resolvedTarget(const std::filesystem::path& target) {
  std::error_code error;
  if (std::filesystem::is_symlink(target, error)) {
    std::filesystem::path real = std::filesystem::canonical(target, error);
    if (!error) return real;
  }
  return target;
}

constexpr int kNameAttempts = 16;

#if defined(_WIN32)

/// Paths beyond MAX_PATH characters need the long form; only absolute paths can take it.
std::wstring longForm(const std::filesystem::path& path) {
  std::wstring text = path.wstring();
  for (wchar_t& c : text)
    if (c == L'/') c = L'\\';
  if (text.size() < MAX_PATH || text.rfind(L"\\\\?\\", 0) == 0) return text;
  if (text.size() > 2 && text[1] == L':' && text[2] == L'\\') return L"\\\\?\\" + text;
  if (text.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + text.substr(2);
  return text;
}

bool writeAll(HANDLE file, std::string_view contents) {
  while (!contents.empty()) {
    const DWORD part = contents.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(contents.size());
    DWORD written = 0;
    if (!WriteFile(file, contents.data(), part, &written, nullptr) || written == 0) return false;
    contents.remove_prefix(written);
  }
  return true;
}

#else

bool writeAll(int file, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t written = ::write(file, contents.data(), contents.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    contents.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

/// Forces data to the disk; a file system that cannot do that is not a failure.
bool syncFile(int file) {
  if (::fsync(file) == 0) return true;
  return errno == EINVAL || errno == ENOTSUP || errno == EOPNOTSUPP || errno == EROFS;
}

#endif

#if defined(_WIN32)

/// Writes the target itself: the folder takes no new file, but the file may be written.
bool writeInPlace(const std::wstring& target, std::string_view contents) {
  HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = writeAll(file, contents) && FlushFileBuffers(file);
  return CloseHandle(file) && ok;
}

#else

/// Writes the target itself: the folder takes no new file, but the file may be written.
bool writeInPlace(const std::filesystem::path& target, std::string_view contents) {
  const int file = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (file < 0) return false;
  bool ok = writeAll(file, contents) && syncFile(file);
  return ::close(file) == 0 && ok;
}

#endif

}  // namespace

std::FILE* openFileForReading(const std::filesystem::path& path) {
#if defined(_WIN32)
  return _wfopen(path.c_str(), L"rb");
#else
  return std::fopen(path.c_str(), "rb");
#endif
}

bool replaceFile(const std::filesystem::path& requested, std::string_view contents) {
  const std::filesystem::path target = resolvedTarget(requested);
  if (target.filename().empty()) return false;
  const std::filesystem::path folder = target.parent_path();

#if defined(_WIN32)
  const std::wstring targetName = longForm(target);
  // A read-only file cannot be opened for writing; replacing it would undo its protection.
  const DWORD attributes = GetFileAttributesW(targetName.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::wstring temporary = longForm(folder / temporaryName());
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
      // A folder that takes no new file may still hold a file its user may write.
      if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES) return writeInPlace(targetName, contents);
      return false;
    }
    bool ok = writeAll(file, contents) && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    ok = ok && MoveFileExW(temporary.c_str(), targetName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temporary.c_str());
    return ok;
  }
  return false;
#else
  // Renaming over a file needs no write permission on it; a file its owner protected
  // against writing must stay as it is, as it would if it were opened for writing.
  if (::access(target.c_str(), W_OK) != 0 && errno != ENOENT) return false;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::filesystem::path temporary = folder / temporaryName();
    const int file = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file < 0) {
      if (errno == EEXIST) continue;
      // A folder that takes no new file may still hold a file its user may write.
      if ((errno == EACCES || errno == EPERM) && ::access(target.c_str(), W_OK) == 0)
        return writeInPlace(target, contents);
      return false;
    }
    // The replacement keeps the permissions of the file it replaces.
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) (void)::fchmod(file, old.st_mode & 07777);
    bool ok = writeAll(file, contents) && syncFile(file);
    ok = ::close(file) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
      ::unlink(temporary.c_str());
      return false;
    }
    // Make the rename itself durable; the new contents are in place either way.
    const int directory = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
      (void)::fsync(directory);
      ::close(directory);
    }
    return true;
  }
  return false;
#endif
}

FileReadResult readPresetFile(const std::filesystem::path& path, ProgramRecord& record, bool* parsed) {
  if (parsed) *parsed = false;
  std::FILE* file = openFileForReading(path);
  if (!file) return FileReadResult::kCannotOpen;
  ProgramRecord staged = record;
  bool held = false;
  ReadResult result = ReadResult::kReadFailed;
  try {
    FileLineReader reader(file);
    result = readPreset(reader, staged, &held);
  } catch (const std::bad_alloc&) {  // a line larger than the memory left
    result = ReadResult::kReadFailed;
  }
  std::fclose(file);
  if (result == ReadResult::kWrongHeader) return FileReadResult::kWrongHeader;
  if (result != ReadResult::kRead) return FileReadResult::kCannotOpen;
  record = staged;
  if (parsed) *parsed = held;
  return FileReadResult::kRead;
}

FileReadResult readBankFile(const std::filesystem::path& path, ProgramRecord* records, bool* parsed) {
  if (parsed) std::fill(parsed, parsed + kNumPrograms, false);
  std::FILE* file = openFileForReading(path);
  if (!file) return FileReadResult::kCannotOpen;
  ReadResult result = ReadResult::kReadFailed;
  std::array<ProgramRecord, kNumPrograms> staged;
  std::array<bool, kNumPrograms> held{};
  try {
    for (int i = 0; i < kNumPrograms; ++i) staged[i] = records[i];
    FileLineReader reader(file);
    result = readBank(reader, staged.data(), held.data());
  } catch (const std::bad_alloc&) {
    result = ReadResult::kReadFailed;
  }
  std::fclose(file);
  if (result == ReadResult::kWrongHeader) return FileReadResult::kWrongHeader;
  if (result != ReadResult::kRead) return FileReadResult::kCannotOpen;
  for (int i = 0; i < kNumPrograms; ++i) records[i] = staged[i];
  if (parsed) std::copy(held.begin(), held.end(), parsed);
  return FileReadResult::kRead;
}

bool writePresetFile(const std::filesystem::path& path, const ProgramRecord& record) {
  try {
    return replaceFile(path, formatPreset(record));
  } catch (const std::exception&) {  // out of memory, or a path the file system library refuses
    return false;
  }
}

bool writeBankFile(const std::filesystem::path& path, const ProgramRecord* records) {
  try {
    return replaceFile(path, formatBank(records));
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace zynka
