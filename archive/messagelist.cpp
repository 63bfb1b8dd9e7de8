#include "archive/messagelist.h"

#include "archive/archivestrings.h"
#include "ops/ask.h"
#include "ops/operationlock.h"
#include "text/strings.h"

namespace kestrel {

namespace {
constexpr int shownMessages = 20;
}

void TArchiveMessages::Show(QObject *owner, int heading)
{
    if (lines.isEmpty())
        return;
    QStringList shown{ArchiveStr(heading)};
    shown += lines.mid(0, shownMessages);
    if (lines.size() > shownMessages)
        shown.append(
            ArchiveStr(amMoreMessages)
                .replace(QLatin1String("%d"), QString::number(lines.size() - shownMessages)));
    lines.clear();
    const TOperationGuard guard;
    Ask().MessageBox(owner, shown.join(QLatin1Char('\n')), LoadStr(512), MB_OK | MB_ICONERROR);
}

} // namespace kestrel
