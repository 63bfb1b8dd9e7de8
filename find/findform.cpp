#include "find/findform.h"

#include "platform/filetime.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

#include <cmath>

namespace kestrel {

namespace {

sys::FILETIME LocalDayTime(const QDate &day, const QTime &time)
{
    return sys::QDateTimeToFileTime(QDateTime(day, time, Qt::LocalTime).toUTC());
}

} // namespace

bool ParseFindSize(const QString &text, sys::UINT64 &bytes)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d+(?:[.,]\\d+)?)\\s*([kmgt]?)b?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return false;
    QString number = match.captured(1);
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = number.toDouble(&ok);
    const QString unit = match.captured(2).toLower();
    const int shift = unit.isEmpty() ? 0 : 10 * (1 + int(QStringLiteral("kmgt").indexOf(unit)));
    const double scaled = std::ldexp(value, shift);
    // Below 2^64, with room for the rounding of a double.
    if (!ok || scaled >= 1.8e19)
        return false;
    bytes = sys::UINT64(std::llround(scaled));
    return true;
}

bool ReadFindForm(const TFindForm &form, TFindOptions &options, QString &problem)
{
    options = TFindOptions();
    for (const QString &folder : form.folders.split(QLatin1Char(';'))) {
        const QString trimmed = folder.trimmed();
        if (!trimmed.isEmpty())
            options.folders.append(trimmed);
    }
    if (options.folders.isEmpty()) {
        problem = QStringLiteral("Type the folder to search in.");
        return false;
    }
    options.masks = form.masks.trimmed();
    options.depth = form.depth;
    for (const auto &[text, limit] : {std::pair{form.minSize, &options.minSize},
                                      std::pair{form.maxSize, &options.maxSize}}) {
        if (text.trimmed().isEmpty())
            continue;
        sys::UINT64 bytes = 0;
        if (!ParseFindSize(text, bytes)) {
            problem = QStringLiteral("\"%1\" is not a size. Type a number of bytes, or one "
                                     "with KB, MB or GB.")
                          .arg(text.trimmed());
            return false;
        }
        *limit = bytes;
    }
    if (form.after.isValid())
        options.after = LocalDayTime(form.after, QTime(0, 0));
    if (form.before.isValid())
        options.before = LocalDayTime(form.before, QTime(23, 59, 59, 999));
    for (int i = 0; i < 5; ++i) {
        if (form.attributes[i] == 1)
            options.withAttributes |= findAttributes[i];
        else if (form.attributes[i] == 0)
            options.withoutAttributes |= findAttributes[i];
    }
    options.text = form.text;
    options.encoding = form.encoding;
    options.matchCase = form.matchCase;
    options.wholeWords = form.wholeWords;
    options.inArchives = form.inArchives;
    const TFileSearch check(options);
    if (!check.Valid()) {
        problem = check.Problem();
        return false;
    }
    return true;
}

} // namespace kestrel
