#pragma once
// The test machine: a temporary folder with drive folders mapped through
// KESTREL_DRIVES, a UNC share through KESTREL_SHARES, a private KESTREL_HOME,
// and helpers to make files. The process's current directory is restored
// after each test.
//
// Drives: C: fixed "Local" (serial 1A2B3C4D), D: fixed "Data" (serial 0D0D0D0D),
// A: removable, E: CD-ROM "DISC1", N: remote. Share \\server\share.

#include "platform/wintypes.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrel::test {

class MachineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Native path of a Windows-form path on the test machine ("C:\a\b").
    QByteArray Native(const QString &winPath) const;
    QString Root() const { return root.path(); }

    // Files and folders are made with native calls, independent of the
    // platform layer under test. Parent folders are created as needed.
    void MakeFolder(const QString &winPath);
    void MakeFile(const QString &winPath, const QByteArray &contents);
    void MakeFileOfSize(const QString &winPath, qint64 size); // patterned bytes
    void MakeSparseFile(const QString &winPath, qint64 size);
    // Time in seconds since the Unix epoch; attributes through the platform layer.
    void SetTime(const QString &winPath, qint64 unixSeconds);
    void SetAttributes(const QString &winPath, sys::DWORD attributes);

    bool Exists(const QString &winPath) const;
    QByteArray Contents(const QString &winPath) const;
    static QByteArray Pattern(qint64 size, int seed = 0);

private:
    QTemporaryDir root;
    QByteArray savedCwd;
};

} // namespace kestrel::test
