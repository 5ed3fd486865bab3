#pragma once

#include <windows.h>

#include "platform/fault_injection.h"

namespace tailmend {

// What the Windows file layer's files share: the one way a test makes a call of the system fail,
// and how they tell a name that is taken.

// Asked before every call to the system, so that a test can make any one of them fail the way the
// system fails it: the call reports failure and GetLastError gives the code.
bool InjectedFailure(FileOperation operation);

// CREATE_NEW fails this way on any name already there: a file, a folder or a link.
bool IsNameTaken(DWORD code);

}  // namespace tailmend
