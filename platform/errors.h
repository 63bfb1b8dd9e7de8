#pragma once
// The thread's last error, as Windows keeps it, and the errno mapping.

#include "platform/wintypes.h"

namespace kestrel::sys {

DWORD GetLastError();
void SetLastError(DWORD code);

// Maps an errno value to a Windows code. missingParent tells ENOENT apart:
// 3 when a folder on the way is missing, 2 when only the last name is.
DWORD ErrorFromErrno(int err, bool missingParent = false);

} // namespace kestrel::sys
