#pragma once
// TIniFile: the settings file in the private-profile form ([Section] lines and
// Key=Value lines, CR LF). Section and key names compare without regard to
// case; values are the raw text after "=", trimmed of blanks. Every write goes
// to disk at once through an atomic whole-file write; the file is created by
// the first write. Lines the program does not understand are kept as they are.

#include <QString>
#include <QStringList>

#include <vector>

namespace kestrel {

class TIniFile {
public:
    explicit TIniFile(const QString &fileName); // Windows-form path
    TIniFile(const TIniFile &) = delete;
    TIniFile &operator=(const TIniFile &) = delete;
    ~TIniFile();

    QString FileName() const { return fileName; }

    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    // Decimal integer; missing or non-numeric values give def.
    int ReadInteger(const QString &section, const QString &key, int def) const;
    // Read as an integer, any non-zero value is true.
    bool ReadBool(const QString &section, const QString &key, bool def) const;
    bool ValueExists(const QString &section, const QString &key) const;
    // Key names of a section, in file order, each once.
    QStringList ReadSection(const QString &section) const;

    // Writes return false when the file could not be written; the value is
    // kept in memory and UpdateFile tries again. A key containing "=" or a
    // line break, or a section name with "]" or a line break, is refused.
    // Line breaks inside a value become blanks, so a value never adds lines.
    bool WriteString(const QString &section, const QString &key, const QString &value);
    bool WriteInteger(const QString &section, const QString &key, int value);
    bool WriteBool(const QString &section, const QString &key, bool value);
    bool DeleteKey(const QString &section, const QString &key);

    // Writes the file when a change has not reached it yet; true when the
    // file on disk holds every change.
    bool UpdateFile();

private:
    struct Line {
        enum Kind { Other, Section, Key } kind = Other;
        QString text;  // the whole line as read or written
        QString name;  // section or key name, trimmed
        QString value; // key value, trimmed
    };

    void Parse(const QString &contents);
    int FindSection(const QString &section) const; // index of its header, -1
    int SectionEnd(int header) const;              // index after its last line
    int FindKey(const QString &section, const QString &key) const;
    bool Save();

    QString fileName;
    std::vector<Line> lines;
    bool dirty = false;
};

} // namespace kestrel
