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
    amAceProgramMissing = 30530, // the ACE archiver for adding is not installed
    amAceProgramFailed = 30531,  // the ACE archiver did not end well
};

// The text of an id; empty when neither table has it.
QString ArchiveStr(int id);

} // namespace kestrel
