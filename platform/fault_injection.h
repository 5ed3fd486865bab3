#pragma once

#include <cstdint>
#include <optional>

namespace tailmend {

// What the file layer asks of the system, for a test that makes one such call fail.
enum class FileOperation { Open, Read, Write, Copy, Seek, Size, SetEnd, Attributes, Flush, Name, Close };

// A test seam in the file layer: while armed, the file layer counts its calls to the system, and
// the chosen one fails as the system would fail it with an I/O error. Unarmed, a call costs one
// comparison.
namespace fault_injection {

// Makes the call with this number (counting from 1) fail, and starts counting afresh.
void Arm(std::uint64_t failingCall);
void Disarm();
// Calls counted since Arm.
std::uint64_t CallsCounted();
// The kind of the call that was made to fail, once it has happened.
std::optional<FileOperation> FailedOperation();
// The system's error code that the failed call reports.
int InjectedErrorCode();

namespace detail {
inline std::uint64_t failingCall = 0;
bool CountAndDecide(FileOperation operation);
}  // namespace detail

// Asked by the file layer before each call to the system: true when this call is to fail.
inline bool ShouldFail(FileOperation operation) {
  return detail::failingCall != 0 && detail::CountAndDecide(operation);
}

}  // namespace fault_injection
}  // namespace tailmend
