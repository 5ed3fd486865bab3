#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace tailmend {

// What the file layer asks of the system, for a test that makes one such call fail.
enum class FileOperation { Open, Read, Write, Copy, Seek, Size, SetEnd, Attributes, Flush, Name, Close };

// A test seam in the file layer: while armed, the file layer counts its calls to the system and
// asks, before each, whether it is to fail and how. Unarmed, a call costs one comparison.
namespace fault_injection {

// Decides, before a call is made, the error code it fails with (errno on POSIX, GetLastError's
// code on Windows), or nothing to let the call through. For a read or a write, 0 makes the call
// transfer nothing without an error, as at the end of a file or on a device that takes no more.
using CallPolicy = std::function<std::optional<int>(FileOperation operation)>;

// Asks the policy about every call from now on, and starts counting afresh.
void Intercept(CallPolicy policy);
// Makes the call with this number (counting from 1) fail with an I/O error, and starts counting afresh.
void Arm(std::uint64_t failingCall);
void Disarm();
// Calls counted since Intercept or Arm.
std::uint64_t CallsCounted();
// The kind of the call that was last made to fail, once it has happened.
std::optional<FileOperation> FailedOperation();
// The system's code for an I/O error, which Arm's failure reports.
int InjectedErrorCode();

namespace detail {
inline bool armed = false;
std::optional<int> CountAndDecide(FileOperation operation);
}  // namespace detail

// Asked by the file layer before each call to the system: the error code when this call is to fail.
inline std::optional<int> InjectedError(FileOperation operation) {
  if (!detail::armed) return std::nullopt;
  return detail::CountAndDecide(operation);
}

}  // namespace fault_injection
}  // namespace tailmend
