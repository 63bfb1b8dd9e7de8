#include "tests/support/progressrecorder.h"

namespace kestrel::test {

void CopyRecorder::Open(bool bytes, const QString &text, int fileCount, sys::UINT64 totalBytes,
                        QObject *)
{
    ++opened;
    byteMode = bytes;
    caption = text;
    totalCount = fileCount;
    maxValue = bytes ? totalBytes : sys::UINT64(fileCount);
    started = 0;
    progress = 0;
    cancelled = false;
}

void CopyRecorder::SetFileName(const QString &text)
{
    fileNames << text;
    if (onFile)
        onFile(text);
    if (!cancelAtFile.isEmpty() && text.startsWith(cancelAtFile))
        cancelled = true;
}

void CopyRecorder::SetProgress(sys::UINT64 value)
{
    // As the gauge does: a value above the maximum is ignored.
    if (value > maxValue || value == progress)
        return;
    progress = value;
    if (++steps == cancelAtStep)
        cancelled = true;
}

void DeleteRecorder::Open(int max, QObject *)
{
    ++opened;
    maxValue = max;
    progress = 0;
    cancelled = false;
}

void DeleteRecorder::SetProgress(int value)
{
    progress = value;
    if (value == cancelAtStep)
        cancelled = true;
}

ProgressRecorder::ProgressRecorder()
{
    SetProgressWindows(&copying, &deleting);
}

ProgressRecorder::~ProgressRecorder()
{
    SetProgressWindows(nullptr, nullptr);
}

} // namespace kestrel::test
