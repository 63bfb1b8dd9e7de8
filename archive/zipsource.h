#pragma once
// Where the bytes of a ZIP archive come from: an open file, or memory (tests
// and the fuzzer).

#include "platform/wintypes.h"

#include <QByteArray>

namespace kestrel {

class TZipSource {
public:
    virtual ~TZipSource() = default;
    virtual sys::INT64 Size() const = 0;
    // Reads up to length bytes at offset: the count read, short only at the
    // end of the data, or -1 when the read fails.
    virtual sys::INT64 ReadAt(sys::INT64 offset, void *buffer, sys::INT64 length) = 0;
};

class TZipMemorySource : public TZipSource {
public:
    explicit TZipMemorySource(QByteArray bytes) : data(std::move(bytes)) {}
    sys::INT64 Size() const override { return data.size(); }
    sys::INT64 ReadAt(sys::INT64 offset, void *buffer, sys::INT64 length) override;

private:
    QByteArray data;
};

// Reads through an open file handle of the platform layer (not owned).
class TZipFileSource : public TZipSource {
public:
    explicit TZipFileSource(sys::HANDLE file);
    sys::INT64 Size() const override { return size; }
    sys::INT64 ReadAt(sys::INT64 offset, void *buffer, sys::INT64 length) override;

private:
    sys::HANDLE file;
    sys::INT64 size;
};

} // namespace kestrel
