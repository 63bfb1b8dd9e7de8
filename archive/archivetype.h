#pragma once
// The archive type of a file, decided from its extension alone.

#include <QString>

namespace kestrel {

enum TArchiveType {
    atZip = 0,
    atRar = 1,
    atArj = 2,
    atAce = 3,
    atNone = 4,
    // Read through libarchive only.
    atSevenZip = 5,
    atTar = 6, // also compressed with gzip, bzip2, xz, zstd or lz4
    atCab = 7,
    atLha = 8,
    atIso = 9,
    atCpio = 10,
    atCompressed = 11, // one file compressed alone (.gz, .bz2, .xz, .zst, .lz4)
};

// ".ZIP" ZIP; ".RAR" or ".R" + two digits RAR; ".ARJ" or ".A" + two digits
// ARJ; ".ACE" or ".C" + two digits ACE (case ignored); of the four, every
// extension that is not exactly four characters long, dot included, is
// none. Then ".7z"; ".tar", ".tar.gz", ".tgz", ".tar.bz2", ".tbz2", ".tbz",
// ".tar.xz", ".txz", ".tar.zst", ".tar.lz4"; ".cab"; ".lzh", ".lha"; ".iso";
// ".cpio"; ".gz", ".bz2", ".xz", ".zst", ".lz4". Anything else is none.
TArchiveType ArchiveTypeOf(const QString &fileName);

// The name without its path and the extension that made its type
// ("backup" of "C:\\x\\backup.tar.gz"); another name loses its last extension.
QString ArchiveBaseName(const QString &fileName);

// The format's name in messages ("7z", "tar", ...).
QString ArchiveTypeName(TArchiveType type);

} // namespace kestrel
