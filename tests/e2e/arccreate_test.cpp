// Making archives as a person does: Ctrl+A and Ctrl+M open the Add dialog,
// Start packs, a password is typed twice, and the dialog's format and
// compression are kept also after Cancel.

#include "tests/archive/zipfixture.h"
#include "tests/e2e/e2e.h"

#include "app/archivedialogs.h"
#include "app/mainwindow.h"
#include "ops/fgetstring.h"
#include "panel/kfileview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>

namespace kestrel::test {
namespace {

class AddToArchiveEndToEnd : public EndToEndTest {
protected:
    void SetUp() override
    {
        EndToEndTest::SetUp();
        MakeFile(Home(QStringLiteral("kestrel.ini")), "[Option]\r\nAutoRefresh=0\r\n");
        MakeFile(QStringLiteral("C:\\Data\\report.doc"), "the report");
        MakeFile(QStringLiteral("C:\\Data\\docs\\a.txt"), "aaaa");
        MakeFile(QStringLiteral("C:\\Data\\docs\\\u00E9t\u00E9.txt"), Pattern(90000, 4));
        MakeFile(QStringLiteral("C:\\Data\\docs\\.hidden"), "h");
        MakeFolder(QStringLiteral("C:\\Data\\docs\\empty"));
    }

    // What bsdtar unpacks from an archive.
    QMap<QString, QByteArray> Unpacked(const QString &archive, const QString &password = {})
    {
        const QString folder = QStringLiteral("C:\\Unpacked%1").arg(++unpacks);
        MakeFolder(folder);
        QStringList args{QStringLiteral("-xf"), QString::fromUtf8(Native(archive)),
                         QStringLiteral("-C"), QString::fromUtf8(Native(folder))};
        if (!password.isEmpty())
            args << QStringLiteral("--passphrase") << password;
        EXPECT_EQ(QProcess::execute(QStringLiteral("bsdtar"), args), 0);
        QMap<QString, QByteArray> files;
        const QString root = QString::fromUtf8(Native(folder));
        QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            const QString name = info.filePath().mid(root.size() + 1);
            if (info.isDir()) {
                files.insert(name + QLatin1Char('/'), {});
            } else {
                QFile f(info.filePath());
                f.open(QIODevice::ReadOnly);
                files.insert(name, f.readAll());
            }
        }
        return files;
    }

    TfArchive *AddDialog(QWidget *dialog)
    {
        auto *form = qobject_cast<TfArchive *>(dialog);
        EXPECT_TRUE(form) << "not the Add dialog: " << dialog->metaObject()->className();
        return form;
    }

    void WaitForPanel()
    {
        ASSERT_TRUE(WaitFor([this] { return Main().isEnabled() && FocusWidget() == &Panel(); }));
    }

    int unpacks = 0;
};

TEST_F(AddToArchiveEndToEnd, CtrlAPacksTheMarkedItemsIntoTheNamedZip)
{
    if (QStandardPaths::findExecutable(QStringLiteral("bsdtar")).isEmpty())
        GTEST_SKIP() << "no bsdtar";
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("docs"));
    Key(Qt::Key_Space);
    Focus(QStringLiteral("report.doc"));
    Key(Qt::Key_Space);
    ASSERT_EQ(Panel().SelCount, 2);
    // The name comes from the focused item.
    Focus(QStringLiteral("report.doc"));
    WhenDialog([this](QWidget *dialog) {
        TfArchive *form = AddDialog(dialog);
        ASSERT_TRUE(form);
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Compress (Copy)"));
        EXPECT_EQ(form->FileName->text(), QStringLiteral("report"));
        EXPECT_EQ(form->Format->currentText(), QStringLiteral("ZIP"));
        EXPECT_EQ(form->Compression->currentText(), QStringLiteral("Normal"));
        EXPECT_FALSE(form->Volume->isEnabled()) << "ZIP makes no volumes";
        EXPECT_TRUE(form->Recursive->isChecked()) << "a folder is among the items";
        Key(Qt::Key_A, Qt::ControlModifier);
        Type(QStringLiteral("bundle"));
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_A, Qt::ControlModifier);
    WaitForPanel();
    EXPECT_EQ(FocusedName(), QStringLiteral("bundle.zip"));
    const auto files = Unpacked(QStringLiteral("C:\\Data\\bundle.zip"));
    EXPECT_EQ(files.value(QStringLiteral("report.doc")), QByteArray("the report"));
    EXPECT_EQ(files.value(QStringLiteral("docs/\u00E9t\u00E9.txt")), Pattern(90000, 4));
    EXPECT_TRUE(files.contains(QStringLiteral("docs/.hidden")));
    EXPECT_TRUE(files.contains(QStringLiteral("docs/empty/")));
    // Copying leaves the originals.
    EXPECT_TRUE(Exists(QStringLiteral("C:\\Data\\report.doc")));
}

TEST_F(AddToArchiveEndToEnd, CtrlMWithAConfirmedPasswordMovesTheItems)
{
    if (QStandardPaths::findExecutable(QStringLiteral("bsdtar")).isEmpty())
        GTEST_SKIP() << "no bsdtar";
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("docs"));
    WhenDialog([this](QWidget *dialog) {
        TfArchive *form = AddDialog(dialog);
        ASSERT_TRUE(form);
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Compress (Move)"));
        EXPECT_EQ(form->FileName->text(), QStringLiteral("docs"));
        Key(Qt::Key_P, Qt::AltModifier);
        Type(QStringLiteral("s3cret"));
        Key(Qt::Key_Return);
    });
    // The password is typed again to confirm it.
    WhenDialog([this](QWidget *dialog) {
        EXPECT_TRUE(qobject_cast<TfGetString *>(dialog)) << dialog->metaObject()->className();
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Confirm Password"));
        Type(QStringLiteral("s3cret"));
        Key(Qt::Key_Return);
    });
    Key(Qt::Key_M, Qt::ControlModifier);
    WaitForPanel();
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\docs")));
    EXPECT_EQ(FocusedName(), QStringLiteral("docs.zip"));
    const auto files = Unpacked(QStringLiteral("C:\\Data\\docs.zip"), QStringLiteral("s3cret"));
    EXPECT_EQ(files.value(QStringLiteral("docs/a.txt")), QByteArray("aaaa"));
    EXPECT_EQ(files.value(QStringLiteral("docs/\u00E9t\u00E9.txt")), Pattern(90000, 4));
    EXPECT_TRUE(files.contains(QStringLiteral("docs/empty/")));
}

TEST_F(AddToArchiveEndToEnd, CancelKeepsTheChosenFormatAndCompression)
{
    Start({QStringLiteral("C:\\Data")});
    Focus(QStringLiteral("report.doc"));
    WhenDialog([this](QWidget *dialog) {
        TfArchive *form = AddDialog(dialog);
        ASSERT_TRUE(form);
        Key(Qt::Key_R, Qt::AltModifier); // Format
        Key(Qt::Key_Down);
        EXPECT_EQ(form->Format->currentText(), QStringLiteral("RAR"));
        EXPECT_TRUE(form->Volume->isEnabled());
        Key(Qt::Key_Down);
        EXPECT_EQ(form->Format->currentText(), QStringLiteral("ARJ"));
        EXPECT_FALSE(form->Password->isEnabled()) << "ARJ takes no password";
        Key(Qt::Key_C, Qt::AltModifier); // Compression
        Key(Qt::Key_Down);
        EXPECT_EQ(form->Compression->currentText(), QStringLiteral("Fast"));
        Key(Qt::Key_Escape);
    });
    Key(Qt::Key_A, Qt::ControlModifier);
    WaitForPanel();
    EXPECT_FALSE(Exists(QStringLiteral("C:\\Data\\report.arj")));
    WhenDialog([this](QWidget *dialog) {
        TfArchive *form = AddDialog(dialog);
        ASSERT_TRUE(form);
        EXPECT_EQ(form->Format->currentText(), QStringLiteral("ARJ"));
        EXPECT_EQ(form->Compression->currentText(), QStringLiteral("Fast"));
        Key(Qt::Key_Escape);
    });
    Key(Qt::Key_A, Qt::ControlModifier);
    WaitForPanel();
}

} // namespace
} // namespace kestrel::test
