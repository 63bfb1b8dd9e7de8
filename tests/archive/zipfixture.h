#pragma once
// Archives for the archive tests: ZIP bytes laid out by hand (hostile and
// unusual cases, exact layouts), archives written by libarchive, the shared
// corpus mapped as drive T:, and the trusted listings beside its files.

#include "archive/zip.h"
#include "tests/support/machine.h"
#include "tests/support/scriptedask.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

namespace kestrel::test {

// One item of a hand-made archive, stored (method 0) unless deflated.
struct TZipItem {
    TZipItem() = default;
    TZipItem(QByteArray name, QByteArray data = {}) : name(std::move(name)), data(std::move(data))
    {
    }

    QByteArray name;
    QByteArray data;
    std::uint16_t madeBy = 20; // DOS
    std::uint16_t flags = 0;
    std::uint32_t external = 0;
    QByteArray centralExtra;
    QByteArray localExtra;
    QByteArray comment;
    std::uint16_t dosTime = 0x5C21; // 11:33:02
    std::uint16_t dosDate = 0x5A4F; // 2025-02-15
    bool deflate = false;
};

// Where the parts of a built archive lie.
struct TZipLayout {
    int directoryOffset = 0;
    int directorySize = 0;
    int endOffset = 0;
};

class TZipBytes {
public:
    QList<TZipItem> items;
    QByteArray prefix;          // data in front, such as a self-extractor
    bool prefixCounted = false; // offsets count the prefix
    QByteArray comment;
    bool zip64 = false; // ZIP64 end record and locator, placeholders in the end record

    QByteArray Build(TZipLayout *layout = nullptr) const;
    static QByteArray Extra(std::uint16_t id, const QByteArray &data);
    static QByteArray Deflate(const QByteArray &data);
};

// An item for libarchive to write.
struct TLibItem {
    enum Kind { File, Folder, Link };
    TLibItem(QString name, QByteArray data = {}, Kind kind = File, QString linkTarget = {},
             unsigned perm = 0644)
        : name(std::move(name)), data(std::move(data)), kind(kind),
          linkTarget(std::move(linkTarget)), perm(perm)
    {
    }

    QString name; // slashes
    QByteArray data;
    Kind kind;
    QString linkTarget;
    unsigned perm;
};

// Writes a ZIP archive with libarchive: "store" or "deflate", optionally
// encrypted ("zipcrypt", "aes256") with the password.
void WriteLibZip(const QByteArray &native, const QList<TLibItem> &items,
                 const char *compression = "deflate", const char *encryption = nullptr,
                 const QByteArray &password = QByteArray());

// One line of a trusted listing.
struct TListedEntry {
    QString name; // as listed, slashes
    quint64 size = 0;
    quint64 packed = 0;
};

class ArchiveTest : public MachineTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The corpus folder, native; empty when this machine has none.
    static QString Corpus();
    // The listing beside a corpus file (path relative to the corpus).
    static QList<TListedEntry> Listing(const QString &relative);

    // A TZip of a file, its messages answered by the scripted dialogs.
    std::unique_ptr<TZip> Open(const QString &path);
    // Files below a native folder: relative path -> contents ("-> target"
    // for a link, "/" for a folder).
    static QMap<QString, QByteArray> Tree(const QByteArray &nativeFolder);
    // The messages shown since the last call.
    QStringList Messages();
    // An outside archiver stand-in: records its arguments ("args") and the
    // list file it is given ("list"), puts a copy of fixture where the
    // archive goes (unless none), and ends with the exit code. Windows form.
    QString Stub(const QString &name, const QString &fixture = {}, int exitCode = 0);
    // What the stand-in recorded, a line each.
    QStringList Recorded(const char *what);

    ScriptedAsk ask;
};

} // namespace kestrel::test
