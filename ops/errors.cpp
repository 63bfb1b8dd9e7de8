#include "ops/errors.h"

#include "ops/ask.h"
#include "ops/operationlock.h"
#include "text/strings.h"

namespace kestrel {

QString GetErrorMessage(int code)
{
    switch (code) {
    case 2:
    case 3:
        return LoadStr(256);
    case 5:
        return LoadStr(259);
    case 19:
        return LoadStr(260);
    case 21:
        return LoadStr(257);
    case 30:
        return LoadStr(266);
    case 32:
        return LoadStr(258);
    case 86:
        return LoadStr(268);
    case 112:
        return LoadStr(261);
    case 123:
        return LoadStr(264);
    case 145:
        return LoadStr(263);
    case 183:
        return LoadStr(265);
    case 1005:
        return LoadStr(262);
    case 1155:
        return LoadStr(269);
    default:
        return LoadStr(267).replace(QLatin1String("%d"), QString::number(code));
    }
}

QString AboutObject(const QString &object, const QString &text)
{
    return object.isEmpty() ? text : object + QLatin1String("\n\n") + text;
}

bool ShowError(int code, const QString &object, const QString &caption, bool last, QObject *owner)
{
    const TOperationGuard guard;
    QString text = AboutObject(object, GetErrorMessage(code));
    unsigned flags = MB_OK | MB_ICONERROR;
    if (!last) {
        text += QLatin1String("\n\n") + LoadStr(511);
        flags = MB_YESNO | MB_ICONERROR;
    }
    return Ask().MessageBox(owner, text, caption, flags) == mrYes;
}

} // namespace kestrel
