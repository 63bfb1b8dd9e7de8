#pragma once
// TZipRun: what an add run and an extract run share, their link to the
// caller's callback and whether it has asked them to stop.

#include "archive/zipengine.h"

namespace kestrel {

class TZipRun {
protected:
    TZipRun(const TZipCallback &callback, bool adding) : callback(callback), adding(adding) {}

    // Hands a record to the callback; false once it has asked to stop.
    bool Report(TZipCallbackRecord &record)
    {
        if (!stopped && callback(record))
            stopped = true;
        return !stopped;
    }
    // Messages reach the callback also after it asked to stop.
    void Message(int code, const QString &text)
    {
        TZipCallbackRecord record;
        record.adding = adding;
        record.action = zaMessage;
        record.errorCode = code;
        record.text = text;
        if (callback(record))
            stopped = true;
    }

    const TZipCallback &callback;
    const bool adding;
    bool stopped = false;
};

} // namespace kestrel
