#pragma once
// Shared by the fuzz targets: a private machine on empty folders of its own,
// the input cut into fields, and the check that stops the run.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace kestrel::fuzz {

// Once per process: drive C: and the share \\srv\pub on empty folders,
// KESTREL_HOME and TMPDIR inside the same private folder (in memory when
// /dev/shm is there, since some targets write a file per input). Nothing
// outside it can be reached through a drive, so case-insensitive look-ups
// never meet a real file. The current folder is C:\.
void SetUpMachine();
QByteArray DriveRoot(); // native folder of C:
QByteArray ShareRoot(); // native folder of \\srv\pub

// The input cut at each 0x1F byte (the ASCII unit separator), padded with
// empty fields to at least count.
QList<QByteArray> Fields(const std::uint8_t *data, std::size_t size, int count);

// Stops the run, printing what failed and the values involved, when ok is false.
void Check(bool ok, const char *what, const QString &detail = QString());
// Printable form of a text for such messages: escapes for control characters
// and anything outside ASCII.
QString Shown(const QString &text);
QString Shown(const QStringList &list);

} // namespace kestrel::fuzz
