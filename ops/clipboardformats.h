#pragma once
// File lists on the clipboard and in drags, in the conventions the desktop's
// file managers use: text/uri-list, the GNOME copied-files list with its
// copy/cut word, the KDE cut mark and the Windows "Preferred DropEffect".

#include "platform/wintypes.h"

#include <QMimeData>
#include <QString>
#include <QStringList>

namespace kestrel {

// Drop effects, numbered as the Windows shell numbers them.
inline constexpr sys::DWORD DROPEFFECT_NONE = 0;
inline constexpr sys::DWORD DROPEFFECT_COPY = 1;
inline constexpr sys::DWORD DROPEFFECT_MOVE = 2;
inline constexpr sys::DWORD DROPEFFECT_LINK = 4;
inline constexpr sys::DWORD DROPEFFECT_SCROLL = 0x80000000;

inline constexpr char mimeUriList[] = "text/uri-list";
inline constexpr char mimeGnomeCopiedFiles[] = "x-special/gnome-copied-files";
inline constexpr char mimeKdeCutSelection[] = "application/x-kde-cutselection";
// The registered Windows format, under the name Qt gives such formats.
inline constexpr char mimePreferredDropEffect[] =
    "application/x-qt-windows-mime;value=\"Preferred DropEffect\"";

// Puts files (full Windows-form paths) into data in every convention, marked
// as a copy or, with cut, as a move, and their native paths as text, one a
// line. Paths no drive covers are left out.
void SetClipboardFiles(QMimeData &data, const QStringList &files, bool cut);

// Reads the local files of data as Windows-form paths into files. Returns 0
// when there are none, 2 when the data asks for a move, else 1. Non-file and
// remote URLs and paths outside every drive are left out; missing files are
// kept, for the operation to report. A cut marker that cannot be read counts
// as nothing, and any marker that says copy wins, so doubtful data is never
// moved. Emptying the clipboard after a cut is left to the caller.
int GetClipboardFiles(const QMimeData &data, QStringList &files);

} // namespace kestrel
