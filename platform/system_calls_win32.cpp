#include "platform/system_calls_win32.h"

namespace tailmend {

namespace {

// What an injected failure reports, as a failing disk would.
constexpr DWORD kInjectedError = ERROR_IO_DEVICE;

}  // namespace

int fault_injection::InjectedErrorCode() { return static_cast<int>(kInjectedError); }

bool InjectedFailure(FileOperation operation) {
  const auto code = fault_injection::InjectedError(operation);
  if (!code) return false;
  ::SetLastError(*code == 0 ? kInjectedError : static_cast<DWORD>(*code));
  return true;
}

bool IsNameTaken(DWORD code) { return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS; }

}  // namespace tailmend
