#include "ops/completesound.h"

#include "tests/support/machine.h"

#include <QtEndian>

#ifdef KESTREL_HAVE_MULTIMEDIA
#include <QCoreApplication>
#include <QSoundEffect>
#include <QTest>
#endif

namespace kestrel {
namespace {

// A short silent 8 kHz mono WAV file.
QByteArray SilentWav()
{
    const QByteArray samples(800, char(0x80));
    QByteArray wav("RIFF");
    auto le32 = [&wav](quint32 v) {
        wav.append(reinterpret_cast<const char *>(&(v = qToLittleEndian(v))), 4);
    };
    auto le16 = [&wav](quint16 v) {
        wav.append(reinterpret_cast<const char *>(&(v = qToLittleEndian(v))), 2);
    };
    le32(quint32(36 + samples.size()));
    wav.append("WAVEfmt ");
    le32(16);
    le16(1);    // PCM
    le16(1);    // mono
    le32(8000); // samples per second
    le32(8000); // bytes per second
    le16(1);    // block align
    le16(8);    // bits per sample
    wav.append("data");
    le32(quint32(samples.size()));
    wav.append(samples);
    return wav;
}

using CompleteSound = test::MachineTest;

TEST_F(CompleteSound, PlaysOnlyWhenSwitchedOnAndTheFileIsThere)
{
    // The test machine's program folder lies on no drive: a complete.wav in
    // the current folder must not be taken for the program's.
    MakeFile(QStringLiteral("C:\\complete.wav"), SilentWav());
    EXPECT_FALSE(PlayCompleteSound(true));

    qputenv("KESTREL_HOME", Native(QStringLiteral("C:\\Kestrel")));
    MakeFolder(QStringLiteral("C:\\Kestrel\\complete.wav"));
    EXPECT_FALSE(PlayCompleteSound(true));

    qputenv("KESTREL_HOME", Native(QStringLiteral("D:\\Kestrel")));
    MakeFile(QStringLiteral("D:\\Kestrel\\complete.wav"), SilentWav());
    EXPECT_FALSE(PlayCompleteSound(false));
#ifdef KESTREL_HAVE_MULTIMEDIA
    EXPECT_TRUE(PlayCompleteSound(true));
    // The sound is loaded on a thread of Qt's: it must be read whole, and be
    // done before the process ends, or its half-made request is leaked.
    auto *effect = QCoreApplication::instance()->findChild<QSoundEffect *>();
    ASSERT_NE(effect, nullptr);
    EXPECT_TRUE(
        QTest::qWaitFor([effect] { return effect->status() != QSoundEffect::Loading; }, 20000));
    EXPECT_EQ(effect->status(), QSoundEffect::Ready);
#else
    EXPECT_FALSE(PlayCompleteSound(true));
#endif
}

} // namespace
} // namespace kestrel
