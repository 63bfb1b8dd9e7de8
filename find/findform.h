#pragma once
// What the Find Files dialog holds, as text and choices, and its reading
// into the options of a search.

#include "find/filesearch.h"

#include <QDate>
#include <QString>

namespace kestrel {

struct TFindForm {
    QString folders = QStringLiteral("C:\\"); // ";" between several
    QString masks = QStringLiteral("*.*");
    QString text;
    TTextEncoding encoding = TTextEncoding::Utf8;
    bool matchCase = false;
    bool wholeWords = false;
    bool inArchives = false;
    int depth = -1; // -1 every level
    QString minSize, maxSize; // "", "100", "4 KB", "1.5 MB", "2G"
    QDate after, before;      // null: no limit; local days, both inclusive
    // Per attribute (read-only, hidden, system, archive, folder): 1 must be
    // set, 0 must not be, -1 either.
    int attributes[5] = {-1, -1, -1, -1, -1};
};

// The attributes of the form's five places.
inline constexpr sys::DWORD findAttributes[5] = {
    sys::FILE_ATTRIBUTE_READONLY, sys::FILE_ATTRIBUTE_HIDDEN, sys::FILE_ATTRIBUTE_SYSTEM,
    sys::FILE_ATTRIBUTE_ARCHIVE, sys::FILE_ATTRIBUTE_DIRECTORY};

// A size with an optional unit (B, KB, MB, GB, TB; 1024 each, case ignored).
bool ParseFindSize(const QString &text, sys::UINT64 &bytes);

// False with the message to show when a field cannot be read.
bool ReadFindForm(const TFindForm &form, TFindOptions &options, QString &problem);

} // namespace kestrel
