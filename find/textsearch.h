#pragma once
// Searching file contents for a text, block by block: a file is never held
// whole in memory, and a match across two blocks is found like any other.
// A case-sensitive search, and a case-blind one for an ASCII text in a
// byte encoding, compare bytes; other case-blind searches decode each block
// and compare text.

#include <QString>
#include <QStringMatcher>

#include <cstddef>
#include <memory>
#include <vector>

class QStringDecoder;

namespace kestrel {

enum class TTextEncoding { Utf8, Oem, Ansi, Utf16 };

class TTextSearch {
public:
    TTextSearch(const QString &text, TTextEncoding encoding, bool matchCase, bool wholeWords);
    ~TTextSearch();

    // False when the text is empty or has characters the encoding lacks.
    bool Valid() const { return valid; }

    // One file's scan. Blocks go in order, through Block() (no copy) or any
    // buffer, until Feed says the text was found; Finish tells the end.
    class Scan {
    public:
        explicit Scan(const TTextSearch &search, std::size_t blockSize = 1 << 20);
        ~Scan();
        char *Block() { return window.data() + reserve; }
        std::size_t BlockSize() const { return blockSize; }
        bool Feed(const char *data, std::size_t size);
        bool Finish();

    private:
        bool FeedBlock(std::size_t size);
        bool FeedText(const char *data, std::size_t size);
        bool ExamineBytes(const char *w, std::size_t n, bool atEnd);
        bool ExamineText(bool atEnd);
        void DecodeUtf8(const char *data, std::size_t size);

        const TTextSearch &search;
        std::size_t blockSize;
        std::size_t reserve; // room before the block for the kept tail
        std::vector<char> window;
        std::size_t tailSize = 0;
        std::size_t first = 0;               // the first match start not yet examined
        unsigned long long windowOffset = 0; // file offset of the window's start
        QString text;                        // decoded window (text searches)
        QByteArray partial;                  // UTF-8 bytes of a character cut by the block's end
        std::unique_ptr<QStringDecoder> decoder;
    };

private:
    friend class Scan;
    std::size_t FindBytes(const char *w, std::size_t n, std::size_t from) const;
    bool WordBefore(const char *w, std::size_t at) const;
    bool WordAfter(const char *w, std::size_t at, std::size_t n) const;
    QString DecodeBytes(const char *data, std::size_t size) const;

    TTextEncoding encoding;
    bool matchCase;
    bool wholeWords;
    bool byBytes = true;
    bool valid = false;
    std::size_t align = 1;   // 2 for UTF-16: matches start on whole units
    std::size_t context = 4; // bytes kept around a match to see whole words
    QByteArray bytes;        // the text in the encoding
    QString text;
    QStringMatcher matcher;          // case-blind text searches
    std::vector<unsigned char> fold; // ASCII case folding for case-blind byte searches
};

} // namespace kestrel
