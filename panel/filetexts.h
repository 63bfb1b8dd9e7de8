#pragma once
// The texts the file panel shows: name case, size fields, dates, attributes,
// the status texts and the program's own strings used by the panel.

#include "text/strings.h"
#include "panel/file.h"

#include <QString>

namespace kestrel {

enum TCharCase { ccNormal = 0, ccUpper = 1, ccLower = 2, ccCapital = 3 };

namespace panelstr {
inline const QString Network = QStringLiteral("Network");            // 109
inline const QString ParentDir = QStringLiteral("[DIR]");            // 110
inline const QString FolderDir = QStringLiteral("[DIR]");            // 111
inline const QString ParentFolder = QStringLiteral("Parent Folder"); // 112
inline const QString FileFolder = QStringLiteral("File Folder");     // 113
inline const QString Items = QStringLiteral("Items");                // 114
inline const QString Item = QStringLiteral("Item");
inline const QString Folder = QStringLiteral("Folder");                // 535
inline const QString SelectedItems = QStringLiteral("%1 (%2 bytes) "); // 536
inline const QString NetworkPlaces = QStringLiteral("Network Places"); // 800
} // namespace panelstr

QString FitCharCase(const QString &text, TCharCase charCase);
// The text as it can be drawn on one line: control characters and bytes that
// were not valid UTF-8 show as U+FFFD.
QString PrintableText(const QString &text);

// A size field: the number and the unit mark ("M", "G" or empty), drawn in
// different colours.
struct TSizeText {
    QString number;
    QString mark;
};
TSizeText SizeText(quint64 size, bool wide);

QString DateText(const sys::FILETIME &utc);   // local "2024-01-31"
QString TimeText(const sys::FILETIME &utc);   // local "13:05"
QString AttributeText(sys::DWORD attributes); // "A_R_" in the order A H R S

// "[-C-] Local" of the letter and the label as shown.
QString DriveRowText(const QString &letter, const QString &label);

// "1 Item", "2 Items".
QString ItemCountText(qsizetype count);

// Status bar texts for the focused entry and the selection ("" when none).
QString EntryStatusText(const TFile *entry);
QString SelectionStatusText(int selCount, quint64 selSize);

} // namespace kestrel
