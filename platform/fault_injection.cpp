#include "platform/fault_injection.h"

#include <utility>

namespace tailmend::fault_injection {

namespace {

CallPolicy policy;
std::uint64_t callsCounted = 0;
std::optional<FileOperation> failedOperation;

}  // namespace

void Intercept(CallPolicy callPolicy) {
  policy = std::move(callPolicy);
  detail::armed = static_cast<bool>(policy);
  callsCounted = 0;
  failedOperation.reset();
}

void Arm(std::uint64_t failingCall) {
  Intercept([failingCall](FileOperation) -> std::optional<int> {
    if (callsCounted != failingCall) return std::nullopt;
    return InjectedErrorCode();
  });
}

void Disarm() {
  detail::armed = false;
  policy = nullptr;
}

std::uint64_t CallsCounted() { return callsCounted; }

std::optional<FileOperation> FailedOperation() { return failedOperation; }

std::optional<int> detail::CountAndDecide(FileOperation operation) {
  ++callsCounted;
  const std::optional<int> code = policy(operation);
  if (code) failedOperation = operation;
  return code;
}

}  // namespace tailmend::fault_injection
