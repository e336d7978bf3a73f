// The editor's gestures on their way to the host: the editor's thread writes them, the
// audio thread (process) or params.flush reads them, through a fixed ring with one writer
// and one reader that never allocates, locks or waits.
#pragma once

#include <atomic>
#include <cstdint>

namespace zynka::clap_adaptor {

struct Gesture {
  enum Kind : std::uint8_t { kBegin, kValue, kEnd };
  Kind kind = kValue;
  std::uint32_t param = 0;
  double value = 0;
};

class GestureRing {
 public:
  /// Room for a long drag between two host calls (a drag sends about 60 values a second).
  static constexpr std::uint32_t kCapacity = 1024;

  /// The writer's side; false when the ring is full (nothing is written then).
  bool push(const Gesture& gesture) {
    const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
    if (tail - head_.load(std::memory_order_acquire) >= kCapacity) return false;
    slots_[tail % kCapacity] = gesture;
    tail_.store(tail + 1, std::memory_order_release);
    return true;
  }

  /// The reader's side: the oldest gesture, left in the ring until pop(); false when empty.
  bool peek(Gesture& gesture) const {
    const std::uint32_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire)) return false;
    gesture = slots_[head % kCapacity];
    return true;
  }
  void pop() { head_.store(head_.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

  /// Either side: whether anything waits.
  bool empty() const { return head_.load(std::memory_order_acquire) == tail_.load(std::memory_order_acquire); }

 private:
  Gesture slots_[kCapacity];
  std::atomic<std::uint32_t> head_{0};
  std::atomic<std::uint32_t> tail_{0};
};

}  // namespace zynka::clap_adaptor
