#pragma once
// The archive messages: the reader and ZIP handler messages, the archive
// prompts and captions, and the messages of the extraction engine. Ids that
// the table lacks are looked up in the program's string table.

#include <QString>

namespace kestrel {

// Messages of the extraction and add engine, reported per item.
enum TArchiveMessageId : int {
    amUnsafeName = 30501,     // the name leads outside the destination
    amLinkOutside = 30502,    // a link whose target leaves the destination
    amThroughLink = 30503,    // the path passes through a symbolic link
    amCrcError = 30504,       // data damaged
    amNotExtracted = 30505,   // heading of the summary after an operation
    amMoreMessages = 30506,   // "... and %d more"
    amNotFound = 30507,       // a name to add that does not exist
    amDamagedEntry = 30508,   // an entry whose local header cannot be read
    amNotAdded = 30509,       // heading of the summary after an add
    amDamagedArchive = 30510, // reading stopped: the archive is damaged or cut short
    amEncrypted = 30511,      // encryption libarchive cannot read
    amSpecialFile = 30512,    // a device, pipe or socket
    amNoSpace = 30513,        // the destination's disk is (nearly) full
    amNotWritten = 30530,     // the archiver left no file for the item
    amUnsafeArchive = 30531,  // an archive refused whole for one unsafe name
    amNoArchiver = 30532,     // the archiver program cannot be found
    amArchiverFailed = 30533, // the archiver ended with an error
};

// The text of an id; empty when neither table has it.
QString ArchiveStr(int id);
// The message with the item's name in place of its "%s".
QString WithName(int id, const QString &name);
// "name: " and the text of a Windows error code.
QString ErrorLine(const QString &name, int code);

} // namespace kestrel
