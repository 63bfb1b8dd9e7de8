// File lists on the clipboard: whatever files and effect are read from data
// are put on the clipboard again and read back the same. Input: a byte whose
// low four bits say which formats are present, then the URI list, the GNOME
// list, the KDE cut mark and the drop effect, separated by 0x1F. A line of
// the lists that begins with "~" stands for "file://" and C:'s folder, so
// the files of the private machine are easy to reach.

#include "fuzz/support.h"
#include "ops/clipboardformats.h"

#include <QMimeData>

namespace {

using namespace kestrel;

QByteArray WithRoot(const QByteArray &list)
{
    QByteArrayList lines = list.split('\n');
    for (QByteArray &line : lines) {
        if (line.startsWith('~'))
            line = "file://" + fuzz::DriveRoot() + line.mid(1);
    }
    return lines.join('\n');
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::SetUpMachine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const unsigned present = data[0];
    const QList<QByteArray> fields = fuzz::Fields(data + 1, size - 1, 4);
    const char *formats[] = {mimeUriList, mimeGnomeCopiedFiles, mimeKdeCutSelection,
                             mimePreferredDropEffect};
    QMimeData clipboard;
    for (int i = 0; i < 4; ++i) {
        if (present & (1u << i))
            clipboard.setData(QString::fromLatin1(formats[i]),
                              i < 2 ? WithRoot(fields[i]) : fields[i]);
    }
    QStringList files;
    const int effect = GetClipboardFiles(clipboard, files);
    fuzz::Check((effect == 0) == files.isEmpty() && effect >= 0 && effect <= 2,
                "the effect does not fit the files", QString::number(effect));
    if (files.isEmpty())
        return 0;

    QMimeData again;
    SetClipboardFiles(again, files, effect == DROPEFFECT_MOVE);
    QStringList filesAgain;
    const int effectAgain = GetClipboardFiles(again, filesAgain);
    fuzz::Check(filesAgain == files && effectAgain == effect,
                "files put on the clipboard read back different",
                fuzz::Shown(files) + QStringLiteral(" effect ") + QString::number(effect) +
                    QStringLiteral("\nread back: ") + fuzz::Shown(filesAgain) +
                    QStringLiteral(" effect ") + QString::number(effectAgain));
    return 0;
}
