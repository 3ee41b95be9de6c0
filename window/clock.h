// The steady clock that times the window's pause.
#pragma once

#include <chrono>

namespace tamsel {

class Clock {
 public:
  using Duration = std::chrono::steady_clock::duration;

  virtual ~Clock() = default;

  // Time since an arbitrary fixed point; never goes backwards.
  virtual Duration Now() = 0;
};

class SteadyClock final : public Clock {
 public:
  Duration Now() override { return std::chrono::steady_clock::now().time_since_epoch(); }
};

}  // namespace tamsel
