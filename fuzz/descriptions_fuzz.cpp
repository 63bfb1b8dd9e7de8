// descript.dat: every line that is not an empty one is written back byte for
// byte; a name's description is the first line that carries it; setting and
// erasing one name leaves every other name's description alone; what is
// written reads back the same. Input: file 0x1F operations, each operation a
// name 0x1E description (empty description: erase).

#include "fuzz/support.h"
#include "panel/descriptfile.h"
#include "platform/names.h"
#include "platform/statefile.h"

#include <QHash>

namespace {

using namespace kestrel;

// The lines as the file must keep them: split at LF, one CR before it
// dropped, empty lines left out.
QList<QByteArray> ReferenceLines(const QByteArray &contents)
{
    QList<QByteArray> lines;
    for (QByteArray line : contents.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            lines.append(line);
    }
    return lines;
}

QString NameOf(const QByteArray &line)
{
    const qsizetype eq = line.indexOf('=');
    return eq > 0 ? sys::DecodeName(line.left(eq)) : QString();
}

// name -> description of the first line carrying exactly that name.
QHash<QString, QString> ReferenceDescriptions(const QList<QByteArray> &lines)
{
    QHash<QString, QString> found;
    for (const QByteArray &line : lines) {
        const QString name = NameOf(line);
        if (!name.isEmpty() && !found.contains(name))
            found.insert(name, sys::DecodeName(line.mid(line.indexOf('=') + 1)));
    }
    return found;
}

QByteArray Joined(const QList<QByteArray> &lines)
{
    QByteArray text;
    for (const QByteArray &line : lines)
        text += line + "\r\n";
    return text;
}

void CheckSame(const TDescriptFile &file, const QHash<QString, QString> &expected,
               const QString &except, const char *what)
{
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        if (!except.isNull() && it.key().compare(except, Qt::CaseInsensitive) == 0)
            continue;
        const auto got = file.Get(it.key());
        fuzz::Check(got == it.value(), what,
                    fuzz::Shown(it.key()) + QStringLiteral(": ") + fuzz::Shown(it.value()) +
                        QStringLiteral(" became ") +
                        fuzz::Shown(got.value_or(QStringLiteral("<none>"))));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::SetUpMachine();
    const QList<QByteArray> fields = fuzz::Fields(data, size, 1);
    const QByteArray contents = fields[0];

    TDescriptFile file(QStringLiteral("C:\\"));
    file.SetFolderNames({});
    file.Parse(contents);
    const QList<QByteArray> lines = ReferenceLines(contents);
    fuzz::Check(file.Text() == Joined(lines), "lines are not kept as they were",
                QString::fromLatin1(contents.toHex()));
    QHash<QString, QString> expected = ReferenceDescriptions(lines);
    CheckSame(file, expected, QString(), "a description reads wrong");

    for (qsizetype i = 1; i < fields.size(); ++i) {
        const qsizetype cut = fields[i].indexOf('\x1e');
        const QString name = sys::DecodeName(fields[i].left(cut < 0 ? fields[i].size() : cut));
        const QString text = cut < 0 ? QString() : sys::DecodeName(fields[i].mid(cut + 1));
        if (name.isEmpty())
            continue;
        file.Set(name, text);
        QString shown = text;
        shown.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (shown.isEmpty()) {
            fuzz::Check(!file.Get(name).has_value(), "an erased name keeps a description",
                        fuzz::Shown(name));
            expected.remove(name);
        } else if (TDescriptFile::CanDescribe(name)) {
            fuzz::Check(file.Get(name) == shown, "a set description reads wrong",
                        fuzz::Shown(name) + QLatin1Char('=') + fuzz::Shown(shown));
        }
        CheckSame(file, expected, name, "another name's description changed");
        // Names that differ only in case may take or give up a line; they
        // are left out of the later checks.
        expected.removeIf([&](const QHash<QString, QString>::iterator &it) {
            return it.key().compare(name, Qt::CaseInsensitive) == 0;
        });
    }

    // What is written reads back the same, through the disk.
    TDescriptFile again(QStringLiteral("C:\\"));
    again.SetFolderNames({});
    if (file.LineCount() > 0) {
        fuzz::Check(file.Write(), "cannot write descript.dat");
        fuzz::Check(again.Read(), "cannot read descript.dat back");
        fuzz::Check(again.Text() == file.Text(), "descript.dat reads back different");
        CheckSame(again, expected, QString(), "a description reads back different");
    }
    file.Parse(QByteArray());
    fuzz::Check(file.Write(), "cannot remove descript.dat");
    return 0;
}
