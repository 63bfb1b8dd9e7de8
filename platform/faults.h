#pragma once
// Test-only fault injection: make the n-th read, write, create or rename
// (counted from the moment the fault is armed) fail with a chosen Windows code.
// Enter is a change of the current folder (SetCurrentDirectory) or a folder
// entered by a walk of folders (FolderWalk); Delete a file or folder removed.

#include "platform/wintypes.h"

namespace kestrel::sys {

enum class FaultOp { Read, Write, Create, Rename, Enter, Delete };

void InjectFault(FaultOp op, int nth, DWORD code);
void ClearFaults();
// Used by the layer itself: true (with the code) when this call is to fail.
bool FaultDue(FaultOp op, DWORD &code);
// True when a fault of this kind is armed: a call that needs extra work to
// count itself does that work only then.
bool FaultArmed(FaultOp op);

} // namespace kestrel::sys
