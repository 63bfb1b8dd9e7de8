#include "tests/support/scriptedask.h"

#include <gtest/gtest.h>

namespace kestrel::test {

namespace {

const char *KindName(QuestionKind kind)
{
    switch (kind) {
    case QuestionKind::MessageBox: return "MessageBox";
    case QuestionKind::GetString: return "GetString";
    case QuestionKind::FileExists: return "FileExists";
    case QuestionKind::DeleteWarning: return "DeleteWarning";
    case QuestionKind::SelectFolder: return "SelectFolder";
    case QuestionKind::OpenFileName: return "OpenFileName";
    case QuestionKind::SaveFileName: return "SaveFileName";
    case QuestionKind::SelectDrive: return "SelectDrive";
    case QuestionKind::SplitOptions: return "SplitOptions";
    case QuestionKind::AdvancedRename: return "AdvancedRename";
    case QuestionKind::RenameEntry: return "RenameEntry";
    case QuestionKind::CharCase: return "CharCase";
    case QuestionKind::AttributesTime: return "AttributesTime";
    case QuestionKind::ChooseColor: return "ChooseColor";
    case QuestionKind::ChooseFont: return "ChooseFont";
    case QuestionKind::ArchiveOptions: return "ArchiveOptions";
    case QuestionKind::ArchiveProperties: return "ArchiveProperties";
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

void ScriptedAsk::ExpectSplitOptions(bool ok, std::function<void(TSplitForm &)> edit)
{
    Answer a{QuestionKind::SplitOptions, ok ? int(mrOk) : int(mrCancel), {}, false};
    a.split = std::move(edit);
    Expect(std::move(a));
}

void ScriptedAsk::ExpectAdvancedRename(int result, std::function<void(TAdvancedRenameForm &)> edit)
{
    Answer a{QuestionKind::AdvancedRename, result, {}, false};
    a.advanced = std::move(edit);
    Expect(std::move(a));
}

void ScriptedAsk::ExpectRenameEntry(int result, std::function<void(TRenameForm &)> edit)
{
    Answer a{QuestionKind::RenameEntry, result, {}, false};
    a.rename = std::move(edit);
    Expect(std::move(a));
}

void ScriptedAsk::ExpectCharCase(int result, bool recursive)
{
    Expect({QuestionKind::CharCase, result, {}, recursive});
}

void ScriptedAsk::ExpectAttributesTime(int result, std::function<void(TAttribForm &)> edit)
{
    Answer a{QuestionKind::AttributesTime, result, {}, false};
    a.attrib = std::move(edit);
    Expect(std::move(a));
}

void ScriptedAsk::ExpectArchiveOptions(int result, std::function<void(TArchiveForm &)> edit)
{
    Answer a{QuestionKind::ArchiveOptions, result, {}, false};
    a.archive = std::move(edit);
    Expect(std::move(a));
}

int ScriptedAsk::ArchiveOptions(QObject *, TArchiveForm &form)
{
    for (;;) {
        Question q = MakeQuestion(QuestionKind::ArchiveOptions, form.caption, form.fileName);
        q.archive = form;
        const Answer a = Take(q);
        if (a.archive)
            a.archive(form);
        if (a.result != mrOk || !form.accept || form.accept(form))
            return a.result == mrOk ? int(mrOk) : int(mrCancel);
    }
}

void ScriptedAsk::ArchiveProperties(QObject *, const TArchivePropForm &form)
{
    Question q = MakeQuestion(QuestionKind::ArchiveProperties,
                              QStringLiteral("Archive Properties"), form.fileName);
    q.properties = form;
    Take(q);
}

bool ScriptedAsk::SplitOptions(QObject *, TSplitForm &form)
{
    Question q =
        MakeQuestion(QuestionKind::SplitOptions, QStringLiteral("Split File"), form.fileText);
    q.split = form;
    const Answer a = Take(q);
    if (a.split)
        a.split(form);
    return a.result == mrOk;
}

int ScriptedAsk::AdvancedRename(QObject *, TAdvancedRenameForm &form)
{
    Question q = MakeQuestion(QuestionKind::AdvancedRename, QStringLiteral("Advanced Rename"),
                              form.sources.value(form.start));
    q.advanced = form;
    const Answer a = Take(q);
    if (a.advanced)
        a.advanced(form);
    return a.result;
}

int ScriptedAsk::RenameEntry(QObject *, TRenameForm &form)
{
    Question q = MakeQuestion(QuestionKind::RenameEntry, QStringLiteral("Rename"), form.text);
    q.rename = form;
    const Answer a = Take(q);
    if (a.rename)
        a.rename(form);
    return a.result;
}

int ScriptedAsk::CharCase(QObject *, bool upper, bool &recursive)
{
    Question q = MakeQuestion(QuestionKind::CharCase,
                              upper ? QStringLiteral("Uppercase Filename")
                                    : QStringLiteral("Lowercase Filename"),
                              QString());
    q.flags = upper ? 1 : 0;
    const Answer a = Take(q);
    if (a.result == mrYes)
        recursive = a.all;
    return a.result;
}

int ScriptedAsk::AttributesTime(QObject *, TAttribForm &form)
{
    Question q = MakeQuestion(QuestionKind::AttributesTime, QStringLiteral("Attributes/Time"),
                              form.fileText);
    q.attrib = form;
    const Answer a = Take(q);
    if (a.attrib)
        a.attrib(form);
    return a.result;
}

void ScriptedAsk::ExpectChooseColor(bool ok, unsigned color)
{
    Answer a(QuestionKind::ChooseColor, ok ? mrOk : mrCancel);
    a.color = color;
    Expect(std::move(a));
}

void ScriptedAsk::ExpectChooseFont(bool ok, const QString &family, int size, bool bold)
{
    Answer a(QuestionKind::ChooseFont, ok ? mrOk : mrCancel, family, bold);
    a.size = size;
    Expect(std::move(a));
}

bool ScriptedAsk::ChooseColor(QObject *, unsigned &color)
{
    Question q = MakeQuestion(QuestionKind::ChooseColor, {}, {});
    q.color = color;
    const Answer a = Take(q);
    if (a.result != mrOk)
        return false;
    color = a.color;
    return true;
}

bool ScriptedAsk::ChooseFont(QObject *, QString &family, int &size, bool &bold)
{
    Question q = MakeQuestion(QuestionKind::ChooseFont, {}, family);
    q.size = size;
    q.allCaption = bold;
    const Answer a = Take(q);
    if (a.result != mrOk)
        return false;
    family = a.text;
    size = a.size;
    bold = a.all;
    return true;
}

} // namespace kestrel::test
