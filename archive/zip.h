#pragma once
// TZip: the archive handler for ZIP files. The listing comes from the
// archive's central directory, read by the program itself; adding and
// extracting go through ZipEngine, whose callback becomes the TArchive events.

#include "archive/archive.h"
#include "archive/messagelist.h"
#include "archive/zipdirectory.h"
#include "archive/zipengine.h"

#include <exception>
#include <memory>

namespace kestrel {

// Raised by the listing: a message id, its text, and whether it is shown.
class EZipBuilder : public std::exception {
public:
    explicit EZipBuilder(int id, bool show = true);
    const char *what() const noexcept override { return text.constData(); }

    int Id;
    QString Message;
    bool Show;

private:
    QByteArray text;
};

class TZip : public TArchive {
public:
    bool AddRunning = false;
    bool ExtractRunning = false;
    int LastErrorId = 0;    // message id of the last error or engine message
    int ProcessedCount = 0; // files the last engine call processed
    sys::INT64 ZipFileSize = 0;
    sys::HANDLE ZipHandle = sys::INVALID_HANDLE_VALUE; // open only while listing
    QString LastMessage;
    int PasswordRetries = 3;
    TZipEncryption Encryption = zeTraditional; // of what Add encrypts

    ~TZip() override;

    void ReadList() override;
    // Adds Names (relative to the current folder) to the archive.
    void Add() override;
    void Extract(const QString &destination) override;
    // Opens the file and finds its end record. A failure raises EZipBuilder
    // when raiseOnError, else shows its message and returns false.
    bool OpenEOC(bool raiseOnError);
    // Shows the text of id followed by extra, and keeps both.
    void ShowZipError(int id, const QString &extra = QString());
    // The engine's callback: its actions become events and answers. True
    // stops the engine.
    bool Callback(TZipCallbackRecord &record);

private:
    void ReadDirectory();
    void AnswerPassword(TZipCallbackRecord &record);
    void AnswerFileExists(TZipCallbackRecord &record);
    void CloseZipHandle();

    TZipEnd end;
    std::unique_ptr<TZipFileSource> source;
    TArchiveMessages engineMessages; // of the operation running
};

} // namespace kestrel
