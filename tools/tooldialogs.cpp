// The file tools' questions behind the dialog seam: each shows its dialog
// and copies what the user chose back into the form.

#include "ops/qtask.h"
#include "tools/farename.h"
#include "tools/fattrib.h"
#include "tools/fcharcase.h"
#include "tools/frename.h"
#include "tools/fsplit.h"

#include <QCheckBox>

namespace kestrel {

bool QtAsk::SplitOptions(QObject *owner, TSplitForm &form)
{
    TfSplit dialog(DialogParent(owner), form);
    if (ExecDialog(dialog, owner) != QDialog::Accepted)
        return false;
    dialog.Read(form);
    return true;
}

int QtAsk::AdvancedRename(QObject *owner, TAdvancedRenameForm &form)
{
    TfARename dialog(DialogParent(owner), form);
    if (ExecDialog(dialog, owner) != QDialog::Accepted)
        return mrCancel;
    form.results = dialog.Results();
    return mrOk;
}

int QtAsk::RenameEntry(QObject *owner, TRenameForm &form)
{
    TfRename dialog(DialogParent(owner), form);
    const int result = ExecDialog(dialog, owner);
    if (result != mrOk && result != mrAll)
        return mrCancel;
    dialog.Read(form);
    return result;
}

int QtAsk::CharCase(QObject *owner, bool upper, bool &recursive)
{
    TfCharCase dialog(DialogParent(owner), upper);
    dialog.Recursive->setChecked(recursive);
    if (ExecDialog(dialog, owner) != mrYes)
        return mrNo;
    recursive = dialog.Recursive->isChecked();
    return mrYes;
}

int QtAsk::AttributesTime(QObject *owner, TAttribForm &form)
{
    TfAttrib dialog(DialogParent(owner), form);
    const int result = ExecDialog(dialog, owner);
    if (result != mrOk && result != mrAll)
        return mrCancel;
    dialog.Read(form);
    return result;
}

} // namespace kestrel
