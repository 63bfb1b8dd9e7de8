#pragma once
// A TAsk for tests: answers come from a queue prepared by the test, every
// question is recorded, and a question nobody prepared for fails the test.

#include "ops/ask.h"

#include <QList>
#include <QString>

#include <deque>
#include <functional>

namespace kestrel::test {

enum class QuestionKind { MessageBox, GetString, FileExists, DeleteWarning, SelectFolder,
                          OpenFileName, SaveFileName, SelectDrive, SplitOptions, AdvancedRename,
                          RenameEntry, CharCase, AttributesTime, ChooseColor, ChooseFont,
                          ArchiveOptions, ArchiveProperties };

struct Question {
    QuestionKind kind = QuestionKind::MessageBox;
    QString caption;
    QString text;       // message, prompt, replace text or initial folder/path
    unsigned flags = 0; // MessageBox flags
    int focused = 0;    // DeleteWarning focused button
    bool allCaption = false;
    bool masked = false;
    TFileExistsQuestion fileExists;
    // The tool dialogs' forms as they were shown; CharCase: upper in flags.
    TSplitForm split;
    TAdvancedRenameForm advanced;
    TRenameForm rename;
    TAttribForm attrib;
    TArchiveForm archive; // ArchiveOptions: each time Start or Cancel is pressed
    TArchivePropForm properties;
    QStringList workFolders; // SelectDrive
    QString excluded;        // SelectDrive
    unsigned color = 0;      // ChooseColor: the colour shown
    int size = 0;            // ChooseFont: family in text, size, bold in allCaption
};

struct Answer {
    Answer(QuestionKind kind, int result, QString text = {}, bool all = false)
        : kind(kind), result(result), text(std::move(text)), all(all)
    {
    }

    QuestionKind kind;
    int result = mrCancel;  // modal result, or 1/0 for pickers
    QString text;           // GetString text, picked path, drive text
    bool all = false;       // FileExists; CharCase: Recursive
    // Tool dialogs: what the user changes in the form before the button.
    std::function<void(TSplitForm &)> split;
    std::function<void(TAdvancedRenameForm &)> advanced;
    std::function<void(TRenameForm &)> rename;
    std::function<void(TAttribForm &)> attrib;
    unsigned color = 0; // ChooseColor: the colour picked
    int size = 0;       // ChooseFont: family in text, size, bold in all
    std::function<void(TArchiveForm &)> archive;
};

class ScriptedAsk : public TAsk {
public:
    ScriptedAsk();           // installs itself
    ~ScriptedAsk() override; // restores the previous one; unused answers fail the test

    void Expect(Answer answer) { answers.push_back(std::move(answer)); }
    void ExpectMessageBox(int result) { Expect({QuestionKind::MessageBox, result, {}, false}); }
    void ExpectGetString(int result, const QString &text = {})
    {
        Expect({QuestionKind::GetString, result, text, false});
    }
    void ExpectFileExists(int result, bool all = false, const QString &newTarget = {})
    {
        Expect({QuestionKind::FileExists, result, newTarget, all});
    }
    void ExpectDeleteWarning(int result) { Expect({QuestionKind::DeleteWarning, result, {}, false}); }
    void ExpectSplitOptions(bool ok, std::function<void(TSplitForm &)> edit = {});
    void ExpectAdvancedRename(int result, std::function<void(TAdvancedRenameForm &)> edit = {});
    void ExpectRenameEntry(int result, std::function<void(TRenameForm &)> edit = {});
    void ExpectCharCase(int result, bool recursive = false);
    void ExpectAttributesTime(int result, std::function<void(TAttribForm &)> edit = {});
    void ExpectChooseColor(bool ok, unsigned color = 0);
    void ExpectChooseFont(bool ok, const QString &family = {}, int size = 0, bool bold = false);
    // One press of Start (mrOk) or Cancel in the Add dialog after the edit.
    // A Start the form's accept refuses keeps the dialog open for the next
    // answer of this kind.
    void ExpectArchiveOptions(int result, std::function<void(TArchiveForm &)> edit = {});
    void ExpectArchiveProperties() { Expect({QuestionKind::ArchiveProperties, mrOk}); }

    // Called while a question is "open", as a modal event loop would run code.
    std::function<void(const Question &)> during;

    QList<Question> asked;
    int Pending() const { return int(answers.size()); }

    int MessageBox(QObject *owner, const QString &text, const QString &caption,
                   unsigned flags) override;
    int GetString(QObject *owner, const QString &caption, const QString &prompt, QString &text,
                  bool selectAll, bool keepSelection, bool masked) override;
    TFileExistsAnswer FileExists(QObject *owner, const TFileExistsQuestion &q) override;
    int DeleteWarning(QObject *owner, const QString &text, int focused, bool allCaption) override;
    bool SelectFolder(QObject *owner, const QString &caption, QString &folder) override;
    bool OpenFileName(QObject *owner, const QString &caption, const QString &filter,
                      QString &path) override;
    bool SaveFileName(QObject *owner, const QString &caption, const QString &filter,
                      QString &path) override;
    int SelectDrive(QObject *owner, QString &text, const QStringList &workFolders,
                    const QString &excluded) override;
    bool SplitOptions(QObject *owner, TSplitForm &form) override;
    int AdvancedRename(QObject *owner, TAdvancedRenameForm &form) override;
    int RenameEntry(QObject *owner, TRenameForm &form) override;
    int CharCase(QObject *owner, bool upper, bool &recursive) override;
    int AttributesTime(QObject *owner, TAttribForm &form) override;
    bool ChooseColor(QObject *owner, unsigned &color) override;
    bool ChooseFont(QObject *owner, QString &family, int &size, bool &bold) override;
    int ArchiveOptions(QObject *owner, TArchiveForm &form) override;
    void ArchiveProperties(QObject *owner, const TArchivePropForm &form) override;

private:
    Answer Take(const Question &q);

    std::deque<Answer> answers;
    TAsk *previous;
};

} // namespace kestrel::test
