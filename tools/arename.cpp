#include "tools/arename.h"

#include <limits>

namespace kestrel {

namespace {

const QString invalidFormat = QStringLiteral("Invalid Format");

// A replacement that keeps creating what it replaces ("ab" by "bbaa") would
// never end: past the longest name, or after this many rounds, it stops.
constexpr int maxNameLength = 255;
constexpr int maxRounds = 10000;

// An integer as typed, blanks around it allowed.
bool ReadInteger(const QString &text, qint64 &value, QString &message)
{
    bool ok = false;
    value = text.trimmed().toLongLong(&ok);
    if (!ok || value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) {
        message = QStringLiteral("'%1' is not a valid integer value").arg(text.trimmed());
        return false;
    }
    return true;
}

bool ReplaceAll(QString &part, const QString &find, const QString &replace, QString &message)
{
    if (find.isEmpty())
        return true;
    // A replacement that holds the text found is made once per occurrence.
    if (replace.contains(find)) {
        part.replace(find, replace, Qt::CaseSensitive);
        return true;
    }
    for (int round = 0;; ++round) {
        const qsizetype at = part.indexOf(find, 0, Qt::CaseSensitive);
        if (at < 0)
            return true;
        part.replace(at, find.size(), replace);
        if (part.size() > maxNameLength || round >= maxRounds) {
            message = QStringLiteral("Replacing \"%1\" by \"%2\" does not come to an end.")
                          .arg(find, replace);
            return false;
        }
    }
}

} // namespace

bool CutPart(const QString &part, const QString &cutText, QString &result, QString &message)
{
    const qsizetype length = part.size();
    const qsizetype minus = cutText.indexOf(QLatin1Char('-'));
    if (minus >= 0) {
        if (minus == 0 || !cutText.sliced(minus + 1).trimmed().isEmpty()) {
            message = invalidFormat;
            return false;
        }
        qint64 count = 0;
        if (!ReadInteger(cutText.first(minus), count, message))
            return false;
        if (count < 0 || count > length) {
            message = invalidFormat;
            return false;
        }
        result = part.first(length - count);
        return true;
    }
    const qsizetype tilde = cutText.indexOf(QLatin1Char('~'));
    if (tilde < 0) {
        message = invalidFormat;
        return false;
    }
    const QString from = cutText.first(tilde).trimmed();
    const QString to = cutText.sliced(tilde + 1).trimmed();
    qint64 a = 1, b = length;
    if ((!from.isEmpty() && !ReadInteger(from, a, message)) ||
        (!to.isEmpty() && !ReadInteger(to, b, message)))
        return false;
    if (a < 1 || length < a || length < b || b < a) {
        message = invalidFormat;
        return false;
    }
    result = part.first(a - 1) + part.sliced(b);
    return true;
}

TRenameOutcome ComputeNames(const QStringList &sources, int start, const TRenameRule &rule,
                            QStringList &results)
{
    while (results.size() < sources.size())
        results.append(QString());
    qint64 number = rule.start;
    for (int i = std::max(start, 0); i < sources.size(); ++i) {
        const QString &source = sources[i];
        const qsizetype dot = source.lastIndexOf(QLatin1Char('.'));
        QString name = dot < 0 ? source : source.first(dot);
        QString ext = dot < 0 ? QString() : source.sliced(dot + 1);
        QString &part = rule.onName ? name : ext;
        QString message;
        switch (rule.action) {
        case raHead:
            part = rule.text + part;
            break;
        case raTail:
            part += rule.text;
            break;
        case raCount: {
            if (number > std::numeric_limits<int>::max() || number < 0)
                return {false, i, QStringLiteral("The counter has passed 2147483647.")};
            const QString text =
                QStringLiteral("%1").arg(number, rule.digits, 10, QLatin1Char('0'));
            part = rule.countAtHead ? text + part : part + text;
            number += rule.step;
            break;
        }
        case raCut:
            if (!CutPart(part, rule.text, part, message))
                return {false, i, message};
            break;
        case raChangeExt:
            ext = rule.text;
            break;
        case raReplace:
            if (!ReplaceAll(part, rule.find, rule.replace, message))
                return {false, i, message};
            break;
        }
        // No dot before an empty extension: the system would keep it.
        results[i] = ext.isEmpty() ? name : name + QLatin1Char('.') + ext;
    }
    return {};
}

} // namespace kestrel
