// libFuzzer target for the ARJ header reader. Every header it accepts is
// written again from its fields and must read back the same; the search
// stays within its limit and the reader never moves past a header's end
// without reading it.

#include "archive/arjheader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace kestrel;

void Check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

QByteArray Le16(int v)
{
    return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF);
}

QByteArray Le32(std::uint32_t v)
{
    return Le16(int(v & 0xFFFF)) + Le16(int(v >> 16));
}

QByteArray Written(const TArjHeader &h)
{
    QByteArray basic;
    basic += char(30);
    basic += char(h.version);
    basic += char(h.minVersion);
    basic += char(h.hostOs);
    basic += char(h.flags & ~arjPathSlash);
    basic += char(h.method);
    basic += char(h.fileType);
    basic += char(0);
    basic += Le32(h.dosTime);
    basic += Le32(std::uint32_t(h.packedSize));
    basic += Le32(std::uint32_t(h.size));
    basic += Le32(h.crc);
    basic += Le16(h.fileSpecPosition);
    basic += Le16(h.accessMode);
    basic += Le16(h.hostData);
    basic += h.name + '\0';
    const std::uint32_t crc = ~ArjCrcUpdate(0xFFFFFFFFu, basic.constData(), basic.size());
    return QByteArray("\x60\xEA", 2) + Le16(int(basic.size())) + basic + Le32(crc) + Le16(0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    TZipMemorySource source(input);
    TArjReader reader(source);
    const sys::INT64 found = reader.FindHeader();
    Check(found < 0 || found <= arjSearchLimit, "header found beyond the search limit");
    if (found < 0)
        return 0;
    TArjHeader header;
    bool first = true;
    for (int items = 0; items < 10000; ++items) {
        const sys::INT64 before = reader.Position();
        const int result = reader.ReadHeader(first, header);
        first = false;
        if (result != arjRead)
            break;
        Check(reader.Position() > before, "a header read did not move on");
        Check(reader.Position() <= input.size(), "moved past the end");
        Check(header.name.size() <= arjNameLimit && !header.name.contains('\0'), "name too long");
        Check(header.firstHeaderSize <= arjHeaderLimit, "first header size beyond the header");

        TArjHeader again;
        TZipMemorySource copy(Written(header));
        TArjReader copyReader(copy);
        Check(copyReader.ReadHeader(true, again) == arjRead, "a written header does not read");
        Check(again.name == header.name && again.size == header.size &&
                  again.packedSize == header.packedSize && again.crc == header.crc &&
                  again.accessMode == header.accessMode && again.dosTime == header.dosTime &&
                  again.fileType == header.fileType && again.hostOs == header.hostOs,
              "a written header reads back different");
        Check(again.IsFolder() == header.IsFolder() && again.Attributes() == header.Attributes(),
              "attributes differ");
        const sys::INT64 next = reader.Position() + sys::INT64(header.packedSize);
        if (next > input.size())
            break;
        reader.Seek(next);
    }
    return 0;
}
