#include "tests/support/scriptedask.h"

#include <gtest/gtest.h>

namespace kestrel::test {

namespace {

const char *KindName(QuestionKind kind)
{
    switch (kind) {
    case QuestionKind::MessageBox:
        return "MessageBox";
    case QuestionKind::GetString:
        return "GetString";
    case QuestionKind::FileExists:
        return "FileExists";
    case QuestionKind::DeleteWarning:
        return "DeleteWarning";
    case QuestionKind::SelectFolder:
        return "SelectFolder";
    case QuestionKind::OpenFileName:
        return "OpenFileName";
    case QuestionKind::SaveFileName:
        return "SaveFileName";
    case QuestionKind::SelectDrive:
        return "SelectDrive";
    }
    return "?";
}

Question MakeQuestion(QuestionKind kind, const QString &caption, const QString &text)
{
    Question q;
    q.kind = kind;
    q.caption = caption;
    q.text = text;
    return q;
}

} // namespace

ScriptedAsk::ScriptedAsk() : previous(SetAsk(this)) {}

ScriptedAsk::~ScriptedAsk()
{
    SetAsk(previous);
    EXPECT_TRUE(answers.empty()) << answers.size() << " prepared answer(s) never asked for, first: "
                                 << KindName(answers.front().kind);
}

Answer ScriptedAsk::Take(const Question &q)
{
    asked << q;
    if (during)
        during(q);
    if (answers.empty() || answers.front().kind != q.kind) {
        ADD_FAILURE() << "unexpected " << KindName(q.kind)
                      << " question: " << q.caption.toStdString() << " / " << q.text.toStdString();
        return {q.kind, q.kind == QuestionKind::MessageBox ? int(mrNo) : int(mrCancel), {}, false};
    }
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

int ScriptedAsk::MessageBox(QObject *, const QString &text, const QString &caption, unsigned flags)
{
    Question q = MakeQuestion(QuestionKind::MessageBox, caption, text);
    q.flags = flags;
    return Take(q).result;
}

int ScriptedAsk::GetString(QObject *, const QString &caption, const QString &prompt, QString &text,
                           bool, bool, bool masked)
{
    Question q = MakeQuestion(QuestionKind::GetString, caption, prompt);
    q.masked = masked;
    const Answer a = Take(q);
    if (a.result == mrOk)
        text = a.text;
    return a.result;
}

TFileExistsAnswer ScriptedAsk::FileExists(QObject *, const TFileExistsQuestion &fe)
{
    Question q = MakeQuestion(QuestionKind::FileExists, QStringLiteral("Confirm Replace file"),
                              fe.fileNameText);
    q.fileExists = fe;
    const Answer a = Take(q);
    return {a.result, a.all, a.text};
}

int ScriptedAsk::DeleteWarning(QObject *, const QString &text, int focused, bool allCaption)
{
    Question q = MakeQuestion(QuestionKind::DeleteWarning, QStringLiteral("Delete Confirm"), text);
    q.focused = focused;
    q.allCaption = allCaption;
    return Take(q).result;
}

bool ScriptedAsk::SelectFolder(QObject *, const QString &caption, QString &folder)
{
    const Answer a = Take(MakeQuestion(QuestionKind::SelectFolder, caption, folder));
    if (a.result != mrOk)
        return false;
    folder = a.text;
    return true;
}

bool ScriptedAsk::OpenFileName(QObject *, const QString &caption, const QString &, QString &path)
{
    const Answer a = Take(MakeQuestion(QuestionKind::OpenFileName, caption, path));
    if (a.result != mrOk)
        return false;
    path = a.text;
    return true;
}

bool ScriptedAsk::SaveFileName(QObject *, const QString &caption, const QString &, QString &path)
{
    const Answer a = Take(MakeQuestion(QuestionKind::SaveFileName, caption, path));
    if (a.result != mrOk)
        return false;
    path = a.text;
    return true;
}

int ScriptedAsk::SelectDrive(QObject *, QString &text, const QStringList &workFolders,
                             const QString &excluded)
{
    Question q = MakeQuestion(QuestionKind::SelectDrive, QString(), text);
    q.workFolders = workFolders;
    q.excluded = excluded;
    const Answer a = Take(q);
    if (a.result == mrOk)
        text = a.text;
    return a.result;
}

} // namespace kestrel::test
