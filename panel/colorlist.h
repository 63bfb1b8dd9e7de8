#pragma once
// The file panel's colours: ten basic colours by role and a table of colours by
// file extension, loaded from a colour set file such as "kestrel.col".

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

namespace kestrel {

// A Windows colour value: red in the low byte, then green, then blue.
using TColorRef = std::uint32_t;

// Indexes of the basic colours, in the order of their keys in a colour set file.
enum TColorIndex {
    ciBack,     // BACK: list and title background; text of the focused row
    ciLine,     // LINE: column separator lines
    ciFolder,   // FOLDER: folder rows
    ciDrive,    // DRIVE: drive rows
    ciReadOnly, // READONLY: size field of read-only files
    ciHidden,   // HIDDEN: size field of hidden entries
    ciNormal,   // NORMAL: ordinary text and names without an extension colour
    ciDescript, // DESCRIPT: descriptions
    ciMB,       // MB: the size unit marks "M" and "G"
    ciTitle,    // TITLE: the folder title in the title strip
};
inline constexpr int BasicColorCount = 10;

// A colour set in the form the preferences dialog edits.
struct TColorSet {
    QStringList Basic; // KEY=colour lines of the [Basic] part, in file order
    QStringList Ext;   // one "colour=ext;ext;..." line per colour
};

class TColorList {
public:
    // Built-in basic colours and an empty extension table.
    TColorList();

    // Missing or unreadable file: basic colours back to the built-in ones, the
    // extension table unchanged. Otherwise both come from the file.
    void LoadFromFile(const QString &path);

    // Basic colour 0..9 (TColorIndex); 0 for any other index.
    TColorRef GetColor(int index) const;
    // Colour of an extension given without its dot, compared without regard to
    // case; the NORMAL colour when the table has no line for it.
    TColorRef GetExtColor(const QString &ext) const;

    // Reads a colour set file into the dialog's form; false when unreadable
    // (the set is then empty).
    static bool ReadColorSet(const QString &path, TColorSet &set);
    // Replaces the file whole with "[Basic]", the basic lines, an empty line,
    // "[Ext]" and one EXT=colour line per extension, sorted without regard to
    // case. False (last error set) when it cannot be written.
    static bool WriteColorSet(const QString &path, const TColorSet &set);

private:
    std::array<TColorRef, BasicColorCount> FColors;
    // First line per case-folded extension; no value when it is not a number.
    QHash<QString, std::optional<TColorRef>> FExtColors;
};

} // namespace kestrel
