#include "ops/progress.h"

#include <cstdio>
#include <cstdlib>

namespace kestrel {

namespace {
TCopyProgress *copyingWindow = nullptr;
TDeleteProgress *deletingWindow = nullptr;

[[noreturn]] void Missing()
{
    std::fputs("kestrel: no progress windows installed\n", stderr);
    std::abort();
}
} // namespace

TCopyProgress &CopyProgress()
{
    if (!copyingWindow)
        Missing();
    return *copyingWindow;
}

TDeleteProgress &DeleteProgress()
{
    if (!deletingWindow)
        Missing();
    return *deletingWindow;
}

void SetProgressWindows(TCopyProgress *copying, TDeleteProgress *deleting)
{
    copyingWindow = copying;
    deletingWindow = deleting;
}

} // namespace kestrel
