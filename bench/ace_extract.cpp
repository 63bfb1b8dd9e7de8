// ACE extraction speed. No ACE archiver runs on Linux, so no 100 MB ACE 2.0
// archive can be made here: the decoder runs over the members of the
// corpus's ACE 1.0 and 2.0 samples (solid, so each archive is decoded
// whole, in order) again and again until about 100 MB have come out, in
// memory. The base is `gzip -d` of the same output volume (the decoded
// bytes, compressed by gzip -6), writing to /dev/null.
//
// BENCH name=ace_extract ours=<s> base=<s> unit=s ratio=<ours/base>

#include "archive/acedecoder.h"
#include "archive/aceheaders.h"
#include "archive/zipsource.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

using namespace kestrel;

namespace {

constexpr std::uint64_t target = 100ull << 20;

class TSlice : public TAceByteSource {
public:
    TSlice(const QByteArray &data, std::int64_t offset, std::uint64_t size)
        : data(data), at(offset), left(size)
    {
    }
    long long Read(std::uint8_t *buffer, long long length) override
    {
        const long long part = (long long)std::min<std::uint64_t>(left, std::uint64_t(length));
        std::memcpy(buffer, data.constData() + at, std::size_t(part));
        at += part;
        left -= std::uint64_t(part);
        return part;
    }

private:
    const QByteArray &data;
    std::int64_t at;
    std::uint64_t left;
};

QString CorpusFolder()
{
    const QByteArray set = qgetenv("KESTREL_TESTDATA");
    const QStringList candidates = {QString::fromUtf8(set),
                                    QStringLiteral(KESTREL_SOURCE_DIR "/../shared/testdata"),
                                    QStringLiteral(KESTREL_SOURCE_DIR "/../../shared/testdata")};
    for (const QString &folder : candidates)
        if (!folder.isEmpty() && QFileInfo::exists(folder + QStringLiteral("/archives/ace")))
            return folder + QStringLiteral("/archives/ace");
    return {};
}

// Decodes every member of the archive; the bytes go to out when given. One
// decoder serves the whole run, as it would one large archive.
std::uint64_t DecodeAll(TAceDecoder &decoder, const QByteArray &bytes, QByteArray *out)
{
    TZipMemorySource source(bytes);
    const TAceVolume volume = ReadAceVolume(source);
    std::uint64_t produced = 0;
    for (const TAceFileHeader &file : volume.files) {
        TSlice packed(bytes, file.dataOffset, file.packedSize);
        std::uint32_t crc = 0;
        const TAceDecodeResult result = decoder.Decode(
            packed, file.method, file.params, file.size,
            [&](const std::uint8_t *data, std::size_t length) {
                if (out)
                    out->append(reinterpret_cast<const char *>(data), qsizetype(length));
                produced += length;
                return true;
            },
            crc);
        if (result != adrOk || crc != file.crc) {
            std::fprintf(stderr, "ace_extract: a member failed to decode\n");
            std::exit(1);
        }
    }
    return produced;
}

} // namespace

int main()
{
    const QString folder = CorpusFolder();
    if (folder.isEmpty()) {
        std::printf("ace_extract: no ACE corpus here, skipped\n");
        return 0;
    }
    QList<QByteArray> archives;
    for (const char *name : {"dir2.ace", "onefile.ace", "zdir.ace", "ALCHT.ACE"}) {
        QFile file(folder + QLatin1Char('/') + QLatin1String(name));
        if (file.open(QIODevice::ReadOnly))
            archives.append(file.readAll());
    }
    QByteArray plain;
    std::uint64_t round = 0;
    for (const QByteArray &bytes : archives) {
        TAceDecoder first;
        round += DecodeAll(first, bytes, &plain);
    }
    const std::uint64_t rounds = (target + round - 1) / round;

    QElapsedTimer timer;
    timer.start();
    std::uint64_t produced = 0;
    TAceDecoder decoder;
    for (std::uint64_t r = 0; r < rounds; ++r)
        for (const QByteArray &bytes : archives)
            produced += DecodeAll(decoder, bytes, nullptr);
    const double ours = double(timer.nsecsElapsed()) / 1e9;

    QTemporaryDir temp;
    const QString raw = temp.filePath(QStringLiteral("plain"));
    {
        QFile file(raw);
        file.open(QIODevice::WriteOnly);
        for (std::uint64_t r = 0; r < rounds; ++r)
            file.write(plain);
    }
    QProcess::execute(QStringLiteral("gzip"), {QStringLiteral("-6"), raw});
    QProcess gzip;
    gzip.setStandardOutputFile(QProcess::nullDevice());
    timer.restart();
    gzip.start(QStringLiteral("gzip"),
               {QStringLiteral("-d"), QStringLiteral("-c"), raw + QStringLiteral(".gz")});
    gzip.waitForFinished(-1);
    const double base = double(timer.nsecsElapsed()) / 1e9;
    std::printf("ace_extract: %.1f MB decoded in %.3f s (%.1f MB/s); gzip -d of the same %.3f s\n",
                double(produced) / 1e6, ours, double(produced) / 1e6 / ours, base);
    std::printf("BENCH name=ace_extract ours=%.3f base=%.3f unit=s ratio=%.2f\n", ours, base,
                ours / base);
    return 0;
}
