#include "tools/toolresult.h"

#include "ops/ask.h"
#include "ops/errors.h"
#include "platform/errors.h"
#include "text/strings.h"

namespace kestrel {

TToolResult LastFailure(const QString &object)
{
    const sys::DWORD code = sys::GetLastError();
    return {code ? int(code) : int(sys::ERROR_INVALID_DATA), object};
}

void ReportToolResult(QObject *owner, const TToolResult &result)
{
    if (result.code == resDone || result.code == resCancelled)
        return;
    if (result.text.isEmpty()) {
        ShowError(result.code, result.object, LoadStr(512), true);
        return;
    }
    Ask().MessageBox(owner, AboutObject(result.object, result.text), LoadStr(512),
                     MB_OK | MB_ICONERROR);
}

} // namespace kestrel
