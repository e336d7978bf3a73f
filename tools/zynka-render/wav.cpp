#include "tools/zynka-render/wav.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

#include "tools/zynka-render/files.h"

namespace zrender {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;

int bytesPerSample(const WavLayout& layout) { return layout.format == SampleFormat::Float32 ? 4 : 2; }

// A float file carries an 18-byte fmt chunk (with cbSize) and a fact chunk.
std::uint32_t headerSize(const WavLayout& layout) {
  return layout.format == SampleFormat::Float32 ? 12 + 26 + 12 + 8 : 12 + 24 + 8;
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}
void putTag(std::vector<std::uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

std::string describe(int code) { return std::generic_category().message(code); }

}  // namespace

std::vector<std::uint8_t> wavHeader(const WavLayout& layout, std::uint64_t frames) {
  const std::uint32_t blockAlign = static_cast<std::uint32_t>(layout.channels * bytesPerSample(layout));
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(frames * blockAlign);
  const bool isFloat = layout.format == SampleFormat::Float32;
  std::vector<std::uint8_t> h;
  h.reserve(headerSize(layout));
  putTag(h, "RIFF");
  put32(h, headerSize(layout) - 8 + dataBytes);
  putTag(h, "WAVE");
  putTag(h, "fmt ");
  put32(h, isFloat ? 18 : 16);
  put16(h, isFloat ? kFormatFloat : kFormatPcm);
  put16(h, static_cast<std::uint32_t>(layout.channels));
  put32(h, static_cast<std::uint32_t>(layout.sampleRate));
  put32(h, static_cast<std::uint32_t>(layout.sampleRate) * blockAlign);
  put16(h, blockAlign);
  put16(h, static_cast<std::uint32_t>(bytesPerSample(layout) * 8));
  if (isFloat) {
    put16(h, 0);  // cbSize: no extension
    putTag(h, "fact");
    put32(h, 4);
    put32(h, static_cast<std::uint32_t>(frames));
  }
  putTag(h, "data");
  put32(h, dataBytes);
  return h;
}

std::int16_t toPcm16(float sample) {
  if (!(sample == sample)) return 0;  // NaN
  double v = std::fmax(-1.0, std::fmin(1.0, static_cast<double>(sample)));
  return static_cast<std::int16_t>(std::lround(v * 32767.0));
}

std::uint64_t maxWavFrames(const WavLayout& layout) {
  const std::uint64_t blockAlign = static_cast<std::uint64_t>(layout.channels) * bytesPerSample(layout);
  return (std::numeric_limits<std::uint32_t>::max() - headerSize(layout)) / blockAlign;
}

WavWriter::~WavWriter() { discard(); }

void WavWriter::discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
    std::error_code ignored;
    std::filesystem::remove(pathOf(partPath_), ignored);
  }
}

bool WavWriter::open(const std::string& path, const WavLayout& layout, std::string& error) {
  discard();
  std::error_code ec;
  if (std::filesystem::is_directory(pathOf(path), ec)) {
    error = "cannot write " + path + ": it is a directory";
    return false;
  }
  path_ = path;
  partPath_ = path + ".part";
  layout_ = layout;
  frames_ = 0;
  clipped_ = 0;
  file_ = openFile(partPath_, "wb");
  if (file_ == nullptr) {
    error = "cannot write " + path + ": " + describe(errno);
    return false;
  }
  std::vector<std::uint8_t> header = wavHeader(layout_, 0);
  if (std::fwrite(header.data(), 1, header.size(), file_) != header.size()) {
    error = "cannot write " + path + ": " + describe(errno);
    discard();
    return false;
  }
  return true;
}

bool WavWriter::write(const float* interleaved, std::uint64_t frames, std::string& error) {
  if (file_ == nullptr) {
    error = "no output file is open";
    return false;
  }
  if (frames > maxWavFrames(layout_) - frames_) {
    error = "cannot write " + path_ + ": a WAV file holds at most 4 GiB of audio";
    return false;
  }
  const std::uint64_t count = frames * static_cast<std::uint64_t>(layout_.channels);
  buffer_.resize(static_cast<std::size_t>(count) * bytesPerSample(layout_));
  std::uint8_t* out = buffer_.data();
  for (std::uint64_t i = 0; i < count; ++i) {
    std::uint32_t bits;
    if (layout_.format == SampleFormat::Float32) {
      std::memcpy(&bits, &interleaved[i], 4);
      for (int b = 0; b < 4; ++b) *out++ = static_cast<std::uint8_t>(bits >> (8 * b));
    } else {
      if (std::fabs(interleaved[i]) > 1.0f) ++clipped_;
      bits = static_cast<std::uint16_t>(toPcm16(interleaved[i]));
      *out++ = static_cast<std::uint8_t>(bits);
      *out++ = static_cast<std::uint8_t>(bits >> 8);
    }
  }
  if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
    error = "cannot write " + path_ + ": " + describe(errno);
    return false;
  }
  frames_ += frames;
  return true;
}

bool WavWriter::finish(std::string& error) {
  if (file_ == nullptr) {
    error = "no output file is open";
    return false;
  }
  std::vector<std::uint8_t> header = wavHeader(layout_, frames_);
  bool ok = std::fseek(file_, 0, SEEK_SET) == 0 &&
            std::fwrite(header.data(), 1, header.size(), file_) == header.size() &&
            std::fflush(file_) == 0;
  int code = errno;
  ok = (std::fclose(file_) == 0) && ok;
  file_ = nullptr;
  std::error_code ec;
  if (ok) std::filesystem::rename(pathOf(partPath_), pathOf(path_), ec);
  if (!ok || ec) {
    error = "cannot write " + path_ + ": " + (ec ? ec.message() : describe(code));
    std::filesystem::remove(pathOf(partPath_), ec);
    return false;
  }
  return true;
}

}  // namespace zrender
