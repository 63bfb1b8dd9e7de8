// Function-key entries: any text parses; what the editor writes for an entry
// parses back to the same entry and gives the same label. A program holding
// a double quote cannot be written between quotes and is left out of the
// round trip. Input: the entry text, UTF-8.

#include "app/functionentry.h"
#include "fuzz/support.h"

namespace {

using namespace kestrel;

QString Shown(const TFunctionEntry &e)
{
    return fuzz::Shown(QStringList{e.name, e.internal ? QStringLiteral("#") : QString(), e.keyword,
                                   e.program, e.parameters});
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::SetUpMachine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const TFunctionEntry entry = ParseFunctionEntry(text);
    FunctionEntryLabel(entry);
    fuzz::Check(ValidDisplayName(entry.name), "a display name was read that holds \"]\"",
                Shown(entry));
    const QString written = FormatFunctionEntry(entry);
    if (written.isEmpty() || entry.program.contains(QLatin1Char('"')))
        return 0;
    const TFunctionEntry again = ParseFunctionEntry(written);
    fuzz::Check(again == entry, "an entry reads back different",
                fuzz::Shown(text) + QStringLiteral("\nread: ") + Shown(entry) +
                    QStringLiteral("\nwritten: ") + fuzz::Shown(written) +
                    QStringLiteral("\nread back: ") + Shown(again));
    fuzz::Check(FunctionEntryLabel(again) == FunctionEntryLabel(entry), "the label changed",
                Shown(entry));
    return 0;
}
