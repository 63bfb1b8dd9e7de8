#pragma once
// ZipEngine: adds to and extracts from ZIP archives on libarchive. The
// directory is the program's own reader's; libarchive decodes, decrypts and
// encodes the data. The engine reports progress and asks its questions
// through one callback, as the handler's engines do.

#include "platform/wintypes.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace kestrel {

enum TZipAction : int {
    zaNewFile = 1,  // fileSize: the item's size, text: its path
    zaProgress = 2, // fileSize: bytes done since the last report
    zaEndOfBatch = 3,
    zaMessage = 4,     // errorCode and text
    zaTotalFiles = 5,  // fileSize: count
    zaTotalSize = 6,   // fileSize: bytes
    zaNewName = 7,     // answer: errorCode 0 keeps the name
    zaPassword = 8,    // fileSize: request counter; errorCode bit 0: confirm. Answer:
                       // errorCode 1 with the password in text, 0 for none
    zaCrcError = 9,    // text: the item's path
    zaFileExists = 10, // text: the target path; answer: fileSize non-zero overwrites
};

// Codes of zaMessage.
enum TZipMessageCode : int {
    zmUnsafe = 1,   // refused for its name or link
    zmDamaged = 2,  // CRC error or damaged data
    zmPassword = 3, // no password, or a wrong one
    zmWrite = 4,    // the target could not be written
    zmArchive = 5,  // the archive cannot be opened or read
    zmNotFound = 6, // a name to add that does not exist
};

// What the engine passes to the callback; some fields carry the answer back.
struct TZipCallbackRecord {
    bool adding = false;
    int action = 0;
    int errorCode = 0;
    sys::INT64 fileSize = 0;
    QString text;
    sys::FILETIME time; // of the item, with zaNewFile and zaFileExists
};

// Returns true to stop the engine.
using TZipCallback = std::function<bool(TZipCallbackRecord &)>;

enum TZipEncryption { zeTraditional, zeAes256 };

struct TZipExtractRequest {
    QString archive;
    QString destination;      // created when missing
    QString password;         // tried first; "" none
    QStringList names;        // paths inside the archive, a folder as "name\*.*"; empty: all
    int passwordRequests = 4; // per item; the last one always gives up
};

struct TZipAddRequest {
    QString archive;
    QString baseFolder; // relative names are taken from here; stored names relative to it
    QStringList names;  // files, folders as "name\*.*", or masks
    QString password;   // "" stores without encryption
    TZipEncryption encryption = zeTraditional;
    int level = 9; // 0 stores
    bool recurse = false;
    bool move = false; // delete the originals once the archive holds them
};

class ZipEngine {
public:
    // The count of files processed.
    static int Extract(const TZipExtractRequest &request, const TZipCallback &callback);
    // The count of files added; -1 when the archive was not written.
    static int Add(const TZipAddRequest &request, const TZipCallback &callback);
};

} // namespace kestrel
