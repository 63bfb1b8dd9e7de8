#pragma once
// TDescriptFile: the descriptions of one folder, kept in its hidden
// "descript.dat" as lines name=description. It is read and written whole and
// changes only the lines of the names it is told about: every other line,
// unreadable ones included, is written back byte for byte.
//
// A name owns the lines that carry it exactly; without one, a line that
// differs only in case, unless an entry of the folder carries that line's
// name exactly (a.txt and A.TXT can live side by side). The first owned line
// counts.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

namespace kestrel {

class TDescriptFile {
public:
    static const QString FileName; // "descript.dat"

    explicit TDescriptFile(const QString &folder);

    QString Path() const;
    // Reads the folder's file; a missing file is an empty one. False, with
    // the last error set, when the file exists but cannot be read: writing
    // then would destroy what it holds.
    bool Read();
    // Takes the lines of a file's contents (CR LF or LF line ends).
    void Parse(const QByteArray &contents);
    // The contents to write: the lines in order, each ending in CR LF.
    QByteArray Text() const;
    // Writes the lines over the file, hidden, or deletes it when no line is
    // left. False with the last error set; the old file is then untouched.
    bool Write() const;

    // The description of a name; nullopt when it owns no line.
    std::optional<QString> Get(const QString &name) const;
    // Gives a name its description in its first owned line, or in a new line
    // at the end; an empty description erases.
    void Set(const QString &name, const QString &description);
    // Removes every line the name owns.
    void Erase(const QString &name);
    // The first line the old name owns carries the new name from now on, in
    // its place; the old name's other lines and the new name's go.
    void Rename(const QString &from, const QString &to);
    // Lines of any kind, unreadable ones included.
    int LineCount() const;
    // False for a name that cannot be written as a line: one with "=",
    // CR or LF, or an empty one.
    static bool CanDescribe(const QString &name);

    // Names of the folder's entries, for the case rule; read from the disk
    // when first needed unless given.
    void SetFolderNames(const QSet<QString> &names) { folderNames = names; }

private:
    struct Line {
        QByteArray raw;    // as read or as formed, without the line end
        QString name;      // empty for a line without "="
        bool gone = false; // erased; left in place so indexes stay valid
    };
    // Indexes of the lines a name owns, in file order.
    QList<int> Owned(const QString &name) const;
    bool InFolder(const QString &name) const;
    void Index(int line);
    static QByteArray Form(const QString &name, const QString &description);

    QString folder;
    QList<Line> lines;
    QHash<QString, QList<int>> exact;    // name -> lines
    QHash<QString, QList<int>> caseless; // case-folded name -> lines
    mutable std::optional<QSet<QString>> folderNames;
};

} // namespace kestrel
