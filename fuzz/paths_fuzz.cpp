// Windows paths and their native forms. The full path of a full path is
// itself; a full path on a drive or share goes to its native form and back
// unchanged; a native path below a drive's folder goes to the Windows form
// and back to its cleaned self; native names decode and encode back to the
// same bytes. Input: Windows path 0x1F native path below C:'s folder.

#include "fuzz/support.h"
#include "platform/drives.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "platform/native.h"

namespace {

using namespace kestrel;

// Text that is the decoded form of some bytes (escapes that would join into
// valid UTF-8, or lone surrogates, name nothing on disk).
bool Representable(const QString &text)
{
    return sys::DecodeName(sys::EncodeName(text)) == text;
}

bool SamePath(const QString &a, const QString &b)
{
    // A share's name is spelled the way the drive table spells it.
    const QString rootA = sys::ExtractFileDrive(a);
    const QString rootB = sys::ExtractFileDrive(b);
    return sys::SameText(rootA, rootB) && a.mid(rootA.size()) == b.mid(rootB.size());
}

void CheckWindowsPath(const QString &path)
{
    const QString full = sys::GetFullPathName(path);
    if (full.isEmpty())
        return;
    fuzz::Check(sys::GetFullPathName(full) == full, "the full path of a full path differs",
                fuzz::Shown(path) + QStringLiteral(" -> ") + fuzz::Shown(full) +
                    QStringLiteral(" -> ") + fuzz::Shown(sys::GetFullPathName(full)));
    QByteArray native;
    if (!Representable(full) || !sys::ToNative(full, native))
        return;
    QString back;
    fuzz::Check(sys::FromNative(native, back) && SamePath(back, full),
                "a full path comes back different from its native form",
                fuzz::Shown(full) + QStringLiteral(" -> ") + fuzz::Shown(sys::DecodeName(native)) +
                    QStringLiteral(" -> ") + fuzz::Shown(back));
}

void CheckNativePath(const QByteArray &below)
{
    const QByteArray native = fuzz::DriveRoot() + '/' + below;
    // ".." may climb out to the real file system, where an existing name
    // that differs only in case rightly stands for the one asked for.
    const QByteArray clean = sys::CleanNative(native);
    if (clean != fuzz::DriveRoot() && !clean.startsWith(fuzz::DriveRoot() + '/'))
        return;
    QString path;
    if (!sys::FromNative(native, path))
        return;
    QByteArray again;
    fuzz::Check(sys::ToNative(path, again) && again == clean,
                "a native path comes back different from its Windows form",
                fuzz::Shown(sys::DecodeName(native)) + QStringLiteral(" -> ") + fuzz::Shown(path) +
                    QStringLiteral(" -> ") + fuzz::Shown(sys::DecodeName(again)));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::SetUpMachine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QList<QByteArray> fields = fuzz::Fields(data, size, 2);
    for (const QByteArray &field : fields)
        fuzz::Check(sys::EncodeName(sys::DecodeName(field)) == field,
                    "a native name does not encode back to its bytes",
                    QString::fromLatin1(field.toHex(' ')));
    CheckWindowsPath(sys::DecodeName(fields[0]));
    CheckNativePath(fields[1]);
    return 0;
}
