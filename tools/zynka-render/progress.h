// The progress bar a render draws on a terminal.
#pragma once

#include <chrono>
#include <cstdint>

namespace zrender {

class Progress {
 public:
  /// A bar that is drawn when wanted and stderr is a terminal, in seconds at this rate.
  Progress(bool wanted, double sampleRate);
  /// Redraws the bar at most ten times a second, or now when forced.
  void update(std::int64_t frame, std::int64_t songFrames, bool force = false);
  /// Shows where the render ended and leaves the line.
  void done();

 private:
  bool enabled_;
  double rate_;
  std::int64_t frame_ = 0;
  std::int64_t songFrames_ = 0;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace zrender
