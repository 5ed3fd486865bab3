#include "tests/support/held_cut.h"

#include <chrono>

#include "platform/fault_injection.h"

namespace tailmend::test {

HeldCut::HeldCut(int cut) {
  fault_injection::Intercept([this, cut, cuts = 0](FileOperation operation) mutable -> std::optional<int> {
    if (operation != FileOperation::SetEnd || ++cuts != cut) return std::nullopt;
    std::unique_lock<std::mutex> lock(mutex_);
    held_ = true;
    released_.wait_for(lock, std::chrono::minutes(1), [this] { return releasing_; });
    held_ = false;
    return std::nullopt;
  });
}

HeldCut::~HeldCut() {
  Release();
  fault_injection::Disarm();
}

void HeldCut::Release() {
  const std::lock_guard<std::mutex> lock(mutex_);
  releasing_ = true;
  released_.notify_all();
}

}  // namespace tailmend::test
