// Trash info files: whatever a record says, an accepted path is absolute,
// has no "." or ".." or empty component and no NUL, and stays inside the
// drive a drive's Trash belongs to; an accepted record written back reads
// back to the same path. Input: topdir 0x1F contents.

#include "fuzz/support.h"
#include "platform/names.h"
#include "platform/trash.h"

namespace {

using namespace kestrel;

bool SafePath(const QByteArray &path)
{
    if (!path.startsWith('/') || path.contains('\0'))
        return false;
    const QList<QByteArray> parts = path.mid(1).split('/');
    for (const QByteArray &part : parts)
        if (part.isEmpty() || part == "." || part == "..")
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QList<QByteArray> fields = fuzz::Fields(data, size, 2);
    // No topdir (the home Trash), the root drive, or a drive below it.
    const QByteArray topdir = fields[0].isEmpty() ? QByteArray()
                              : fields[0] == "/"  ? QByteArray("/")
                                                  : QByteArray("/media/d");
    QByteArray path;
    QDateTime when;
    if (!sys::ParseTrashInfo(fields[1], topdir, path, when))
        return 0;
    fuzz::Check(SafePath(path), "an unsafe path was accepted", sys::DecodeName(path));
    fuzz::Check(topdir.isEmpty() || topdir == "/" || path.startsWith(topdir + '/'),
                "a path outside the drive", sys::DecodeName(path));
    QByteArray again;
    QDateTime whenAgain;
    fuzz::Check(sys::ParseTrashInfo(sys::TrashInfoText(path, when), {}, again, whenAgain) &&
                    again == path,
                "a written record reads back differently", sys::DecodeName(path));
    return 0;
}
