#include "tools/zynka-render/progress.h"

#include <algorithm>
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "tools/zynka-render/messages.h"
#include "tools/zynka-render/text.h"

namespace zrender {
namespace {

bool stderrIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(fileno(stderr)) != 0;
#endif
}

}  // namespace

Progress::Progress(bool wanted, double sampleRate) : enabled_(wanted && stderrIsTerminal()), rate_(sampleRate) {}

void Progress::update(std::int64_t frame, std::int64_t songFrames, bool force) {
  if (!enabled_) return;
  frame_ = frame;
  songFrames_ = songFrames;
  auto now = std::chrono::steady_clock::now();
  if (!force && now - last_ < std::chrono::milliseconds(100)) return;
  last_ = now;
  constexpr int kWidth = 30;
  double part = songFrames > 0 ? std::min(1.0, static_cast<double>(frame) / songFrames) : 1.0;
  int filled = static_cast<int>(part * kWidth);
  std::string bar = "\r" + std::string(kTool) + ": [" + std::string(filled, '#') + std::string(kWidth - filled, ' ') +
                    "] " + fixed(part * 100.0, 0) + "%  " + fixed(frame / rate_, 1) + " s";
  if (frame > songFrames) bar += " (tail)";
  bar += "   ";
  std::fputs(bar.c_str(), stderr);
}

void Progress::done() {
  if (!enabled_) return;
  update(frame_, songFrames_, true);
  std::fputs("\n", stderr);
}

}  // namespace zrender
