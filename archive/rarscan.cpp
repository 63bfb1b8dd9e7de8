#include "archive/rarscan.h"

#include <QByteArray>

#include <algorithm>

namespace kestrel {

namespace {

constexpr int rar4FileHeader = 0x74;
constexpr int rar4EndHeader = 0x7B;
constexpr int rar4Encrypted = 0x04;
constexpr int rar4SplitBefore = 0x01;
constexpr int rar4LongBlock = 0x8000;
constexpr sys::UINT64 rar5FileHeader = 2;
constexpr sys::UINT64 rar5EndHeader = 5;
constexpr sys::UINT64 rar5EncryptionHeader = 4;
constexpr sys::UINT64 rar5ExtraArea = 0x01;
constexpr sys::UINT64 rar5DataArea = 0x02;
constexpr sys::UINT64 rar5SplitBefore = 0x08;
constexpr sys::UINT64 rar5CryptRecord = 0x01;
// Headers larger than this are damage, not data.
constexpr sys::INT64 headerLimit = 2 * 1024 * 1024;
constexpr int itemLimit = 1000000;

bool ReadVint(const QByteArray &bytes, qsizetype &p, sys::UINT64 &value)
{
    value = 0;
    for (int shift = 0; shift < 64 && p < bytes.size(); shift += 7) {
        const auto byte = static_cast<unsigned char>(bytes[p++]);
        value |= sys::UINT64(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

QByteArray ReadAt(TZipSource &source, sys::INT64 offset, sys::INT64 length)
{
    QByteArray bytes(qsizetype(length), Qt::Uninitialized);
    const sys::INT64 got = source.ReadAt(offset, bytes.data(), length);
    bytes.resize(qsizetype(std::max<sys::INT64>(got, 0)));
    return bytes;
}

int Word(const QByteArray &b, qsizetype p)
{
    return static_cast<unsigned char>(b[p]) | static_cast<unsigned char>(b[p + 1]) << 8;
}

sys::INT64 FindSignature(TZipSource &source, const QByteArray &signature)
{
    // Self-extractors put a program in front of the archive.
    constexpr sys::INT64 searchLimit = 4 * 1024 * 1024;
    const QByteArray head = ReadAt(source, 0, std::min(source.Size(), searchLimit));
    return head.indexOf(signature);
}

bool ScanRar4(TZipSource &source, sys::INT64 offset, std::vector<bool> &encrypted, bool &ended)
{
    while (offset < source.Size() && int(encrypted.size()) < itemLimit) {
        const QByteArray head = ReadAt(source, offset, 11);
        if (head.size() < 7)
            return head.isEmpty();
        const int type = static_cast<unsigned char>(head[2]);
        const int flags = Word(head, 3);
        const int size = Word(head, 5);
        if (size < 7)
            return false;
        sys::INT64 next = offset + size;
        if (flags & rar4LongBlock || type == rar4FileHeader) {
            if (head.size() < 11)
                return false;
            next += sys::INT64(Word(head, 7)) | sys::INT64(Word(head, 9)) << 16;
        }
        if (type == rar4FileHeader && !(flags & rar4SplitBefore))
            encrypted.push_back(flags & rar4Encrypted);
        if (type == rar4EndHeader) {
            ended = true;
            return true;
        }
        offset = next;
    }
    return true;
}

bool ScanRar5(TZipSource &source, sys::INT64 offset, std::vector<bool> &encrypted, bool &ended)
{
    while (offset < source.Size() && int(encrypted.size()) < itemLimit) {
        QByteArray head = ReadAt(source, offset + 4, 3);
        qsizetype p = 0;
        sys::UINT64 size = 0;
        if (!ReadVint(head, p, size) || size == 0 || sys::INT64(size) > headerLimit)
            return head.isEmpty();
        const QByteArray header = ReadAt(source, offset + 4 + p, sys::INT64(size));
        if (header.size() != qsizetype(size))
            return false;
        const sys::INT64 headerEnd = offset + 4 + p + sys::INT64(size);
        qsizetype q = 0;
        sys::UINT64 type = 0;
        sys::UINT64 flags = 0;
        sys::UINT64 extraSize = 0;
        sys::UINT64 dataSize = 0;
        if (!ReadVint(header, q, type) || !ReadVint(header, q, flags) ||
            ((flags & rar5ExtraArea) && !ReadVint(header, q, extraSize)) ||
            ((flags & rar5DataArea) && !ReadVint(header, q, dataSize)))
            return false;
        if (type == rar5EncryptionHeader)
            return false; // the headers are encrypted
        if (type == rar5FileHeader && !(flags & rar5SplitBefore)) {
            bool crypt = false;
            if (extraSize > 0 && extraSize <= size) {
                qsizetype e = qsizetype(size - extraSize);
                while (e < header.size()) {
                    sys::UINT64 recordSize = 0;
                    sys::UINT64 recordType = 0;
                    if (!ReadVint(header, e, recordSize) || recordSize == 0)
                        break;
                    const qsizetype body = e;
                    if (!ReadVint(header, e, recordType))
                        break;
                    if (recordType == rar5CryptRecord)
                        crypt = true;
                    if (recordSize > sys::UINT64(header.size() - body))
                        break;
                    e = body + qsizetype(recordSize);
                }
            }
            encrypted.push_back(crypt);
        }
        if (type == rar5EndHeader) {
            ended = true;
            return true;
        }
        if (dataSize > sys::UINT64(source.Size()))
            return false;
        offset = headerEnd + sys::INT64(dataSize);
    }
    return true;
}

} // namespace

bool ScanRarEncryption(TZipSource &source, std::vector<bool> &encrypted, bool &ended)
{
    ended = false;
    static const QByteArray rar5("Rar!\x1A\x07\x01\x00", 8);
    static const QByteArray rar4("Rar!\x1A\x07\x00", 7);
    const sys::INT64 at5 = FindSignature(source, rar5);
    if (at5 >= 0)
        return ScanRar5(source, at5 + rar5.size(), encrypted, ended);
    const sys::INT64 at4 = FindSignature(source, rar4);
    if (at4 >= 0)
        return ScanRar4(source, at4 + rar4.size(), encrypted, ended);
    return false;
}

} // namespace kestrel
