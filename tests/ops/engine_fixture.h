#pragma once
// The test machine with scripted questions and recorded progress windows.

#include "ops/ask.h"
#include "ops/conflicts.h"
#include "ops/filecopy.h"
#include "text/strings.h"
#include "platform/fileapi.h"
#include "tests/support/machine.h"
#include "tests/support/progressrecorder.h"
#include "tests/support/scriptedask.h"

#include <QDir>

#include <memory>

namespace kestrel::test {

class EngineTest : public MachineTest {
protected:
    ScriptedAsk ask;
    ProgressRecorder progress;

    // A copy run whose conflicts are answered by the main window's handler.
    static std::unique_ptr<TFileCopy> CopyEngine(const QStringList &files)
    {
        auto engine = std::make_unique<TFileCopy>(nullptr);
        engine->Files = files;
        engine->OnFileExists = [](TFileCopy &, const QString &source, QString &target,
                                  sys::DWORD &flags) {
            HandleFileExists(nullptr, source, target, flags);
        };
        return engine;
    }
    sys::DWORD Attributes(const QString &path) const { return sys::GetFileAttributes(path); }
    // Names in a folder, sorted, without "." and ".." (links to nothing too).
    QStringList Names(const QString &folder) const
    {
        return QDir(QString::fromUtf8(Native(folder)))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }
    // The error box's text about object: its name, then the message.
    static QString ErrorText(const QString &object, int id, bool more)
    {
        const QString text = object + QStringLiteral("\n\n") + LoadStr(id);
        return more ? text + QStringLiteral("\n\n") + LoadStr(511) : text;
    }
};

} // namespace kestrel::test
