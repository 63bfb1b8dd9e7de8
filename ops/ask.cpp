#include "ops/ask.h"

#include <cstdio>
#include <cstdlib>

namespace kestrel {

namespace {
TAsk *installed = nullptr;
} // namespace

TAsk &Ask()
{
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

} // namespace kestrel
