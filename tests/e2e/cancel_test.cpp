#include "tests/e2e/e2e.h"

#include "app/mainwindow.h"
#include "ops/fcopying.h"
#include "ops/ffileexists.h"
#include "panel/kfileview.h"

#include <QApplication>
#include <QDir>

namespace kestrel::test {
namespace {

using CancelTest = EndToEndTest;

// After the replace question was answered the keys went back to the
// disabled main window, so Esc could not reach the progress window.
TEST_F(CancelTest, EscCancelsTheCopyAfterAReplaceQuestion)
{
    const QByteArray old = Pattern(4096, 7);
    MakeFileOfSize(QStringLiteral("C:\\Src\\big.bin"), qint64(16) << 20);
    for (const char *name : {"later1.txt", "later2.txt", "later3.txt"})
        MakeFile(QStringLiteral("C:\\Src\\") + QLatin1String(name), name);
    MakeFile(QStringLiteral("D:\\Dst\\big.bin"), old);

    Start({QStringLiteral("C:\\Src")});
    Key(Qt::Key_U, Qt::AltModifier); // Select All
    ASSERT_EQ(Panel().SelCount, 4);
    Key(Qt::Key_C, Qt::ControlModifier);
    Key(Qt::Key_D, Qt::ShiftModifier);
    Focus(QStringLiteral("Dst"));
    Key(Qt::Key_Return);
    ASSERT_EQ(Panel().Folder(), QStringLiteral("D:\\Dst"));

    bool answered = false;
    WhenDialog([&](QWidget *dialog) {
        ASSERT_TRUE(qobject_cast<TfFileExists *>(dialog)) << "not the replace question";
        Key(Qt::Key_Return); // Overwrite, the focused button
        answered = true;
    });
    QString escapeWentTo;
    When([&] { return answered && !QApplication::activeModalWidget() && FocusWindow(); },
         [&] {
             escapeWentTo =
                 QString::fromLatin1(QApplication::activeWindow()->metaObject()->className());
             Key(Qt::Key_Escape);
         });
    Key(Qt::Key_V, Qt::ControlModifier);

    EXPECT_EQ(escapeWentTo, QStringLiteral("kestrel::TfCopying"));
    EXPECT_TRUE(WaitFor([this] { return Main().isEnabled() && FocusWidget() == &Panel(); }))
        << "the main window did not get the keys back";
    EXPECT_TRUE(Contents(QStringLiteral("D:\\Dst\\big.bin")) == old) << "the old file was replaced";
    const QStringList left = QDir(QString::fromUtf8(Native(QStringLiteral("D:\\Dst"))))
                                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_EQ(left, QStringList{QStringLiteral("big.bin")}) << "something half-written was left";
}

} // namespace
} // namespace kestrel::test
