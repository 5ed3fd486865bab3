#include "platform/fault_injection.h"

namespace tailmend::fault_injection {

namespace {

std::uint64_t callsCounted = 0;
std::optional<FileOperation> failedOperation;

}  // namespace

void Arm(std::uint64_t failingCall) {
  detail::failingCall = failingCall;
  callsCounted = 0;
  failedOperation.reset();
}

void Disarm() { detail::failingCall = 0; }

std::uint64_t CallsCounted() { return callsCounted; }

std::optional<FileOperation> FailedOperation() { return failedOperation; }

bool detail::CountAndDecide(FileOperation operation) {
  if (++callsCounted != failingCall) return false;
  failedOperation = operation;
  return true;
}

}  // namespace tailmend::fault_injection
