// favorite.dat: what is loaded from any file is saved and loaded again
// unchanged; an entry appended to the file as it stands comes last with
// every earlier entry kept. Input: file 0x1F name 0x1F path.

#include "app/favorites.h"
#include "fuzz/support.h"
#include "platform/names.h"
#include "platform/statefile.h"

namespace {

using namespace kestrel;

const QString inputPath = QStringLiteral("C:\\favorite.dat");
const QString writtenPath = QStringLiteral("C:\\written.dat");

QString Shown(const QList<TFavorite> &entries)
{
    QStringList lines;
    for (const TFavorite &entry : entries)
        lines.append(entry.name + QLatin1Char('=') + entry.path);
    return fuzz::Shown(lines);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::SetUpMachine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QList<QByteArray> fields = fuzz::Fields(data, size, 3);
    fuzz::Check(sys::WriteWholeFile(inputPath, fields[0]), "cannot write the input file");
    const QList<TFavorite> read = LoadFavorites(inputPath);
    for (const TFavorite &entry : read)
        fuzz::Check(ValidFavoriteName(entry.name) && ValidFavoritePath(entry.path),
                    "an entry was loaded that could not be written back", Shown(read));
    fuzz::Check(SaveFavorites(writtenPath, read), "cannot save the favourites");
    const QList<TFavorite> again = LoadFavorites(writtenPath);
    fuzz::Check(again == read, "favourites read back different",
                Shown(read) + QStringLiteral("\nread back: ") + Shown(again));

    const TFavorite added{sys::DecodeName(fields[1]), sys::DecodeName(fields[2])};
    if (!ValidFavoriteName(added.name) || !ValidFavoritePath(added.path))
        return 0;
    fuzz::Check(AppendFavorite(inputPath, added), "cannot append a favourite");
    const QList<TFavorite> appended = LoadFavorites(inputPath);
    fuzz::Check(appended == read + QList<TFavorite>{added}, "an appended favourite reads back wrong",
                Shown(read) + QStringLiteral("\nafter appending: ") + Shown(appended));
    return 0;
}
