#include "ops/ask.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace kestrel {

namespace {
TAsk *installed = nullptr;
thread_local TAsk *threadInstalled = nullptr;
} // namespace

bool TAsk::ChooseColor(QObject *, unsigned &)
{
    return false;
}

bool TAsk::ChooseFont(QObject *, QString &, int &, bool &)
{
    return false;
}

TAsk &Ask()
{
    if (threadInstalled)
        return *threadInstalled;
    if (!installed) {
        // A question with nobody to answer it is a programming error.
        std::fputs("kestrel: no dialog implementation installed\n", stderr);
        std::abort();
    }
    return *installed;
}

TAsk *SetAsk(TAsk *ask)
{
    TAsk *previous = installed;
    installed = ask;
    return previous;
}

TAsk *SetThreadAsk(TAsk *ask)
{
    return std::exchange(threadInstalled, ask);
}

} // namespace kestrel
