#pragma once
// The one mapping from a Windows error code to a message, and the one error
// box, which can also ask whether a multi-item operation is to go on.
//
// Result codes of the file operations: 0 done, -1 skipped by the user, 1223
// cancelled, any other positive value a Windows error code.

#include <QString>

class QObject;

namespace kestrel {

inline constexpr int resDone = 0;
inline constexpr int resSkipped = -1;
inline constexpr int resCancelled = 1223;

QString GetErrorMessage(int code);
// A message about one file, folder or drive: its name, a blank line, the text.
QString AboutObject(const QString &object, const QString &text);

// Shows the message of code under the name of what failed (a path, or the
// name the user typed), so a box never leaves the user guessing which file
// it means. When more items follow (last false) the box asks whether to go
// on (Yes/No); otherwise it has only OK. True only for Yes. owner: the
// window asking, when the active one may not be it (right after a progress
// window closed).
bool ShowError(int code, const QString &object, const QString &caption, bool last,
               QObject *owner = nullptr);

} // namespace kestrel
