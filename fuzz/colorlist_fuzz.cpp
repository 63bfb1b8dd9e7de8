// Colour set files: a file read into the dialog's form, written and read
// again holds the same basic lines and the same colour for every extension;
// a second round changes nothing, and the panel's table loaded from the
// written file agrees with the form. Input: the bytes of a .col file.

#include "fuzz/support.h"
#include "panel/colorlist.h"
#include "platform/statefile.h"

#include <QMap>

namespace {

using namespace kestrel;

const QString inputPath = QStringLiteral("C:\\input.col");
const QString writtenPath = QStringLiteral("C:\\written.col");

// Every extension of the form with its colours, in no particular order.
QMap<QString, QStringList> ExtensionColors(const TColorSet &set)
{
    QMap<QString, QStringList> colors;
    for (const QString &group : set.Ext) {
        const qsizetype eq = group.indexOf(QLatin1Char('='));
        for (const QString &ext : group.mid(eq + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            colors[ext].append(group.left(eq));
    }
    for (QStringList &list : colors)
        list.sort();
    return colors;
}

QString Describe(const TColorSet &set)
{
    return QStringLiteral("basic %1 ext %2").arg(fuzz::Shown(set.Basic), fuzz::Shown(set.Ext));
}

TColorSet WriteAndRead(const TColorSet &set)
{
    fuzz::Check(TColorList::WriteColorSet(writtenPath, set), "cannot write a colour set");
    TColorSet again;
    fuzz::Check(TColorList::ReadColorSet(writtenPath, again), "cannot read a written colour set");
    return again;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::SetUpMachine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    fuzz::Check(sys::WriteWholeFile(inputPath, bytes), "cannot write the input file");
    TColorList panel;
    panel.LoadFromFile(inputPath);
    TColorSet read;
    fuzz::Check(TColorList::ReadColorSet(inputPath, read), "cannot read the input file");

    const TColorSet once = WriteAndRead(read);
    fuzz::Check(once.Basic == read.Basic, "basic lines change in a write",
                Describe(read) + QStringLiteral("\nread back: ") + Describe(once));
    fuzz::Check(ExtensionColors(once) == ExtensionColors(read),
                "extension colours change in a write",
                Describe(read) + QStringLiteral("\nread back: ") + Describe(once));
    const TColorSet twice = WriteAndRead(once);
    fuzz::Check(twice.Basic == once.Basic && twice.Ext == once.Ext,
                "a written colour set changes when written again",
                Describe(once) + QStringLiteral("\nread back: ") + Describe(twice));

    // The written file has the [Ext] line, so the panel's table and the form
    // agree on each extension that has a single colour.
    panel.LoadFromFile(writtenPath);
    const QMap<QString, QStringList> colors = ExtensionColors(once);
    for (auto it = colors.cbegin(); it != colors.cend(); ++it) {
        if (it.value().size() != 1 || it.key().contains(QLatin1Char('=')))
            continue;
        bool duplicate = false;
        for (auto other = colors.cbegin(); other != colors.cend(); ++other)
            duplicate = duplicate ||
                        (other != it && other.key().compare(it.key(), Qt::CaseInsensitive) == 0);
        if (duplicate)
            continue;
        fuzz::Check(QString::number(panel.GetExtColor(it.key())) == it.value().first(),
                    "the panel's colour of an extension differs from the form",
                    fuzz::Shown(it.key()) + QStringLiteral(" form ") + it.value().first() +
                        QStringLiteral(" panel ") + QString::number(panel.GetExtColor(it.key())));
    }
    return 0;
}
