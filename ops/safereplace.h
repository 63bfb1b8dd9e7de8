#pragma once
// Replacing a file without ever losing it: the new content is written under a
// temporary name beside the old file and swapped in only when complete.

#include "platform/wintypes.h"

#include <QString>

namespace kestrel {

// Creates a new empty file with a temporary name in the folder of target,
// open for writing, with the given attributes; its path goes to tempPath.
// INVALID_HANDLE_VALUE with the last error set on failure.
sys::HANDLE CreateTempBeside(const QString &target, sys::DWORD attributes, QString &tempPath);

// Makes a symbolic link holding text under a temporary name in the folder of
// target; its path goes to tempPath. False with the last error set on failure.
bool CreateLinkBeside(const QString &target, const QString &text, sys::DWORD flags,
                      QString &tempPath);

// Renames a file or folder to a fresh temporary name in its folder; the new
// path goes to tempPath. False with the last error set on failure.
bool MoveAside(const QString &path, QString &tempPath);

// Puts the file replacement in place of the existing file target. Returns 0,
// or a Windows error code with both files as they were before.
int ReplaceFile(const QString &replacement, const QString &target);

// Deletes a file or a link, clearing a file's read-only attribute first (a
// link's attributes are its target's, left alone); false on failure.
bool RemoveFile(const QString &path);

} // namespace kestrel
