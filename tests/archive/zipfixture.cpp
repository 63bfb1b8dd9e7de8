#include "tests/archive/zipfixture.h"

#include "platform/drives.h"
#include "platform/fileapi.h"
#include "platform/names.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <archive.h>
#include <archive_entry.h>
#include <zlib.h>

namespace kestrel::test {

namespace {

void Put16(QByteArray &out, std::uint32_t v)
{
    out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

void Put32(QByteArray &out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void Put64(QByteArray &out, std::uint64_t v)
{
    Put32(out, std::uint32_t(v));
    Put32(out, std::uint32_t(v >> 32));
}

std::uint32_t Crc(const QByteArray &data)
{
    return std::uint32_t(
        crc32(0, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
}

} // namespace

QByteArray TZipBytes::Extra(std::uint16_t id, const QByteArray &data)
{
    QByteArray out;
    Put16(out, id);
    Put16(out, std::uint32_t(data.size()));
    return out + data;
}

QByteArray TZipBytes::Deflate(const QByteArray &data)
{
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&z, uLong(data.size()))), Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(int(z.total_out));
    deflateEnd(&z);
    return out;
}

QByteArray TZipBytes::Build(TZipLayout *layout) const
{
    QByteArray out = prefix;
    const int base = prefixCounted ? 0 : int(prefix.size());
    QByteArray directory;
    for (const TZipItem &item : items) {
        const QByteArray packed = item.deflate ? Deflate(item.data) : item.data;
        const int offset = int(out.size()) - base;
        Put32(out, 0x04034B50);
        Put16(out, 20);
        Put16(out, item.flags);
        Put16(out, item.deflate ? 8 : 0);
        Put16(out, item.dosTime);
        Put16(out, item.dosDate);
        Put32(out, Crc(item.data));
        Put32(out, std::uint32_t(packed.size()));
        Put32(out, std::uint32_t(item.data.size()));
        Put16(out, std::uint32_t(item.name.size()));
        Put16(out, std::uint32_t(item.localExtra.size()));
        out += item.name + item.localExtra + packed;

        Put32(directory, 0x02014B50);
        Put16(directory, item.madeBy);
        Put16(directory, 20);
        Put16(directory, item.flags);
        Put16(directory, item.deflate ? 8 : 0);
        Put16(directory, item.dosTime);
        Put16(directory, item.dosDate);
        Put32(directory, Crc(item.data));
        Put32(directory, std::uint32_t(packed.size()));
        Put32(directory, std::uint32_t(item.data.size()));
        Put16(directory, std::uint32_t(item.name.size()));
        Put16(directory, std::uint32_t(item.centralExtra.size()));
        Put16(directory, std::uint32_t(item.comment.size()));
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, item.external);
        Put32(directory, std::uint32_t(offset));
        directory += item.name + item.centralExtra + item.comment;
    }
    const int directoryOffset = int(out.size());
    out += directory;
    const std::uint64_t recordedOffset = std::uint64_t(directoryOffset - base);
    if (zip64) {
        const int end64 = int(out.size());
        Put32(out, 0x06064B50);
        Put64(out, 44);
        Put16(out, 45);
        Put16(out, 45);
        Put32(out, 0);
        Put32(out, 0);
        Put64(out, std::uint64_t(items.size()));
        Put64(out, std::uint64_t(items.size()));
        Put64(out, std::uint64_t(directory.size()));
        Put64(out, recordedOffset);
        Put32(out, 0x07064B50);
        Put32(out, 0);
        Put64(out, std::uint64_t(end64 - base));
        Put32(out, 1);
    }
    const int endOffset = int(out.size());
    Put32(out, 0x06054B50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, zip64 ? 0xFFFF : std::uint32_t(items.size()));
    Put16(out, zip64 ? 0xFFFF : std::uint32_t(items.size()));
    Put32(out, zip64 ? 0xFFFFFFFF : std::uint32_t(directory.size()));
    Put32(out, zip64 ? 0xFFFFFFFF : std::uint32_t(recordedOffset));
    Put16(out, std::uint32_t(comment.size()));
    out += comment;
    if (layout) {
        layout->directoryOffset = directoryOffset;
        layout->directorySize = int(directory.size());
        layout->endOffset = endOffset;
    }
    return out;
}

void WriteLibZip(const QByteArray &native, const QList<TLibItem> &items, const char *compression,
                 const char *encryption, const QByteArray &password)
{
    struct archive *w = archive_write_new();
    archive_write_set_format_zip(w);
    archive_write_set_option(w, "zip", "compression", compression);
    if (encryption) {
        EXPECT_EQ(archive_write_set_option(w, "zip", "encryption", encryption), ARCHIVE_OK);
        archive_write_set_passphrase(w, password.constData());
    }
    QDir().mkpath(QFileInfo(QString::fromUtf8(native)).path());
    EXPECT_EQ(archive_write_open_filename(w, native.constData()), ARCHIVE_OK);
    for (const TLibItem &item : items) {
        struct archive_entry *e = archive_entry_new();
        archive_entry_set_pathname_utf8(e, item.name.toUtf8().constData());
        archive_entry_set_mtime(e, 1700000000, 0);
        if (item.kind == TLibItem::Folder) {
            archive_entry_set_filetype(e, AE_IFDIR);
            archive_entry_set_perm(e, 0755);
        } else if (item.kind == TLibItem::Link) {
            archive_entry_set_filetype(e, AE_IFLNK);
            archive_entry_set_perm(e, 0777);
            archive_entry_set_symlink_utf8(e, item.linkTarget.toUtf8().constData());
        } else {
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_perm(e, item.perm);
            archive_entry_set_size(e, item.data.size());
        }
        archive_write_header(w, e);
        if (item.kind == TLibItem::File)
            archive_write_data(w, item.data.constData(), size_t(item.data.size()));
        archive_entry_free(e);
    }
    archive_write_close(w);
    archive_write_free(w);
}

void ArchiveTest::SetUp()
{
    MachineTest::SetUp();
    if (!Corpus().isEmpty()) {
        qputenv("KESTREL_DRIVES", qgetenv("KESTREL_DRIVES") + ";T=" + Corpus().toUtf8() + ",cdrom");
        sys::ReloadDriveTable();
    }
}

void ArchiveTest::TearDown()
{
    SetZipCodePage(437);
    MachineTest::TearDown();
}

QString ArchiveTest::Corpus()
{
    const QString folder = QStringLiteral(KESTREL_TESTDATA "/archives");
    return QFileInfo::exists(folder) ? QFileInfo(folder).canonicalFilePath() : QString();
}

QList<TListedEntry> ArchiveTest::Listing(const QString &relative)
{
    QList<TListedEntry> entries;
    QFile file(Corpus() + QLatin1Char('/') + relative + QStringLiteral(".listing.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    static const QRegularExpression line(QStringLiteral(
        "^\\s*(\\d+)\\s+\\S+\\s+(\\d+)\\s+-?\\d+%\\s+\\S+\\s+\\S+\\s+[0-9a-f]{8}  (.*)$"));
    for (const QByteArray &bytes : file.readAll().split('\n')) {
        const QRegularExpressionMatch m = line.match(QString::fromUtf8(bytes));
        if (m.hasMatch())
            entries.append(
                {m.captured(3), m.captured(1).toULongLong(), m.captured(2).toULongLong()});
    }
    return entries;
}

std::unique_ptr<TZip> ArchiveTest::Open(const QString &path)
{
    auto zip = std::make_unique<TZip>();
    zip->SetFileName(path);
    return zip;
}

QMap<QString, QByteArray> ArchiveTest::Tree(const QByteArray &nativeFolder)
{
    QMap<QString, QByteArray> tree;
    const QString root = QString::fromUtf8(nativeFolder);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString relative = path.mid(root.size() + 1);
        if (info.isSymLink()) {
            QString winPath;
            QString text;
            sys::FromNative(sys::EncodeName(path), winPath);
            sys::ReadSymbolicLink(winPath, text);
            tree[relative] = "-> " + sys::EncodeName(text);
        } else if (info.isDir()) {
            tree[relative] = "/";
        } else {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            tree[relative] = f.readAll();
        }
    }
    return tree;
}

QString ArchiveTest::Stub(const QString &name, const QString &fixture, int exitCode)
{
    const QString script = Root() + QLatin1Char('/') + name;
    QFile f(script);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    QByteArray text = "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + Root().toUtf8() +
                      "/args\"\nprev=\nfor a; do case \"$a\" in @*|!*) cp \"${a#?}\" \"" +
                      Root().toUtf8() +
                      "/list\"; archive=\"$prev\";; esac; prev=\"$a\"; done\n";
    if (!fixture.isEmpty())
        text += "cp '" + fixture.toUtf8() + "' \"$archive\"\n";
    text += "exit " + QByteArray::number(exitCode) + "\n";
    f.write(text);
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QString win;
    sys::FromNative(script.toUtf8(), win);
    return win;
}

QStringList ArchiveTest::Recorded(const char *what)
{
    QFile f(Root() + QLatin1Char('/') + QLatin1String(what));
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList ArchiveTest::Messages()
{
    QStringList texts;
    for (const Question &q : std::as_const(ask.asked)) {
        if (q.kind == QuestionKind::MessageBox)
            texts.append(q.text);
    }
    ask.asked.clear();
    return texts;
}

} // namespace kestrel::test
