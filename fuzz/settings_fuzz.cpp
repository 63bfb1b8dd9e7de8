// Window placement and font texts of the settings file: what a text parses
// to formats into a text that parses to the same. Input: placement 0x1F font.

#include "app/settings.h"
#include "fuzz/support.h"
#include "platform/names.h"

namespace {

using namespace kestrel;

QString Describe(const TWindowPlacement &p)
{
    return QStringLiteral("%1 %2,%3 %4x%5")
        .arg(p.maximized ? QStringLiteral("maximized") : QStringLiteral("normal"),
             QString::number(p.left), QString::number(p.top), QString::number(p.width),
             QString::number(p.height));
}

QString Describe(const TFontSpec &f)
{
    return fuzz::Shown(f.name) + QStringLiteral(" %1 %2").arg(f.size).arg(f.bold);
}

void CheckPlacement(const QString &text)
{
    // Two defaults that differ in every field tell a default from a parse.
    const TWindowPlacement def{false, 100, 100, 550, 500};
    const TWindowPlacement other{true, -1, -2, 3, 4};
    const TWindowPlacement read = ParsePlacement(text, def);
    fuzz::Check(read.width > 0 && read.height > 0, "a placement with no size",
                fuzz::Shown(text) + QStringLiteral(" -> ") + Describe(read));
    const QString written = FormatPlacement(read);
    const TWindowPlacement again = ParsePlacement(written, other);
    fuzz::Check(again == read, "a placement reads back different",
                fuzz::Shown(text) + QStringLiteral(" -> ") + Describe(read) +
                    QStringLiteral(" -> ") + fuzz::Shown(written) + QStringLiteral(" -> ") +
                    Describe(again));
}

void CheckFont(const QString &text)
{
    const TFontSpec read = ParseFont(text);
    fuzz::Check(!read.name.isEmpty() && read.size > 0, "a font with no name or size",
                fuzz::Shown(text) + QStringLiteral(" -> ") + Describe(read));
    const QString written = FormatFont(read);
    const TFontSpec again = ParseFont(written);
    fuzz::Check(again == read, "a font reads back different",
                fuzz::Shown(text) + QStringLiteral(" -> ") + Describe(read) +
                    QStringLiteral(" -> ") + fuzz::Shown(written) + QStringLiteral(" -> ") +
                    Describe(again));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QList<QByteArray> fields = fuzz::Fields(data, size, 2);
    CheckPlacement(sys::DecodeName(fields[0]));
    CheckFont(sys::DecodeName(fields[1]));
    return 0;
}
