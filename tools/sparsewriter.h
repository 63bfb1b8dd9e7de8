#pragma once
// Writes a new file block by block, leaving each block of zeros as a hole:
// a sparse disk image stays sparse in its pieces and when joined again.

#include "platform/wintypes.h"

namespace kestrel {

class TSparseWriter {
public:
    explicit TSparseWriter(sys::HANDLE file) : file(file) {}

    // False with the last error set; a short write is a full disk.
    bool Write(const char *data, sys::DWORD size);
    // Gives the file its full length when it ends in a hole.
    bool Finish();

private:
    sys::HANDLE file;
    bool endsInHole = false;
};

} // namespace kestrel
