#pragma once
// Join: finds the pieces of a split file, checks them against their checksum
// file and the header of piece 1, and puts them together again. The joined
// file is written under a temporary name and takes its own only when whole.

#include "platform/wintypes.h"
#include "tools/splitformat.h"
#include "tools/toolresult.h"

#include <QList>
#include <QStringList>

namespace kestrel {

struct TJoinPiece {
    QString path;
    sys::UINT64 size = 0;
};

// What lies in a folder for one stem ("movie" for movie.001, movie.002, ...).
struct TJoinSet {
    QString folder;
    QString stem;
    QList<TJoinPiece> pieces; // movie.001 up to the first gap
    sys::UINT64 total = 0;    // bytes of all pieces, the header included
    QStringList missing;      // names missing below a later piece
    bool hasHeader = false;
    TPieceHeader header;
    bool hasChecksums = false;
    TChecksumFile checksums;
    TToolResult readFailure; // piece 1 or the checksum file could not be read

    // The bytes the joined file will have.
    sys::UINT64 DataSize() const;
    // The name proposed for the joined file: from the header, else from the
    // checksum file, else the stem; never more than a plain name.
    QString OutputName() const;
};

TJoinSet FindPieces(const QString &folder, const QString &stem);

// What can be told wrong without reading the data: missing pieces, sizes
// that differ from the checksum file or from the size in the header, pieces
// the checksum file does not list or lists without a CRC. One text a problem.
QStringList SizeProblems(const TJoinSet &set);

// The join as a whole, with the progress window "Join Files" over owner:
// what SizeProblems finds is shown first and nothing is written unless the
// user goes on; each piece is checked against its CRC as it is read, and the
// first that differs is named with the same question. The joined file is
// written under a temporary name and replaces a file of the output's name
// only when whole; a failed or cancelled run leaves no trace.
TToolResult JoinFiles(QObject *owner, const TJoinSet &set, const QString &output);

} // namespace kestrel
