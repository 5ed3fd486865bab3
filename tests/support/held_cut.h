#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace tailmend::test {

// Holds a run's worker right before its cut number `cut` (from 1), the backup already written,
// until released (or a minute has passed, so that a failing test cannot hang), so that a test can
// act meanwhile as a person would. Released and disarmed when it goes, once the run that it held
// has ended.
class HeldCut {
public:
  explicit HeldCut(int cut);
  HeldCut(const HeldCut&) = delete;
  HeldCut& operator=(const HeldCut&) = delete;
  ~HeldCut();

  bool Held() const { return held_; }
  void Release();

private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool releasing_ = false;
  std::atomic<bool> held_{false};
};

}  // namespace tailmend::test
