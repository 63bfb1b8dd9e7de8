#pragma once
// The advanced rename rule: new names for a list of file names by one rule
// (text at the head or tail, a counter, a cut by position, a new extension,
// or a text replaced), applied to the name or to the extension of each.

#include <QString>
#include <QStringList>

namespace kestrel {

enum TRenameAction { raHead, raTail, raCount, raCut, raChangeExt, raReplace };

struct TRenameRule {
    TRenameAction action = raHead;
    bool onName = true; // the rule works on the name part, else on the extension
    QString text;       // Head, Tail, Cut and Change Extension
    qint64 start = 1;   // Count: first number, step and least number of digits
    qint64 step = 1;
    int digits = 1;
    bool countAtHead = true;
    QString find; // Replace, compared with case
    QString replace;
};

struct TRenameOutcome {
    bool ok = true;
    int index = -1;  // the entry where the computation stopped
    QString message; // why
};

// Fills results[i] for every i from start on (results is made as long as
// sources). An error stops at its entry; the entries before keep their new
// names.
TRenameOutcome ComputeNames(const QStringList &sources, int start, const TRenameRule &rule,
                            QStringList &results);

// The cut of one part by a Cut text ("3-", "2~4", "~4", "3~", "~"); false
// with the message when the text does not fit the part.
bool CutPart(const QString &part, const QString &cutText, QString &result, QString &message);

} // namespace kestrel
