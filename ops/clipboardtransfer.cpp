#include "ops/clipboardtransfer.h"

#include "ops/clipboardformats.h"
#include "ops/dragdrop.h"
#include "ops/transfer.h"
#include "panel/kfileview.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

namespace kestrel {

namespace {

// Keeps the cut marks of one view while the clipboard holds the cut that
// set them; any other clipboard content clears them.
class TCutMarks : public QObject {
public:
    TCutMarks(TKFileView &view, QMimeData *data) : QObject(&view), view(view), data(data)
    {
        connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
                [this] { ClipboardChanged(); });
    }

private:
    void ClipboardChanged()
    {
        if (data && QGuiApplication::clipboard()->mimeData() == data)
            return;
        for (int i = 0; i < view.Files.Count(); ++i)
            view.Files[i]->Cut = false;
        view.update();
        deleteLater();
    }

    TKFileView &view;
    QPointer<QMimeData> data;
};

bool PutOnClipboard(TKFileView &view, bool cut)
{
    if (view.OwnerData())
        return false;
    const QStringList files = CommandFiles(view);
    if (files.isEmpty())
        return false;
    auto *data = new QMimeData;
    SetClipboardFiles(*data, files, cut);
    QGuiApplication::clipboard()->setMimeData(data);
    if (cut) {
        for (int i = 0; i < view.Files.Count(); ++i) {
            TFile &file = *view.Files[i];
            file.Cut = view.SelCount > 0 ? file.Selected : i == view.FocusedIndex;
        }
        new TCutMarks(view, data);
        view.update();
    }
    return true;
}

} // namespace

bool CopyToClipboard(TKFileView &view)
{
    return PutOnClipboard(view, false);
}

bool CutToClipboard(TKFileView &view)
{
    return PutOnClipboard(view, true);
}

int GetClipboardFiles(QStringList &files)
{
    files.clear();
    QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *data = clipboard->mimeData();
    if (!data)
        return 0;
    const int effect = GetClipboardFiles(*data, files);
    if (effect == int(DROPEFFECT_MOVE))
        clipboard->clear();
    return effect;
}

bool Paste(TKFileView &view, QObject *owner)
{
    if (view.OwnerData() || view.FoundMode())
        return false;
    QStringList files;
    const int effect = GetClipboardFiles(files);
    if (effect == 0)
        return false;
    const bool done =
        TransferFiles(owner, files, view.Folder(),
                      effect == int(DROPEFFECT_MOVE) ? DROPEFFECT_MOVE : DROPEFFECT_COPY);
    ReloadWhenIdle(&view, view);
    return done;
}

bool PasteShortcut(TKFileView &view, QObject *owner)
{
    if (view.OwnerData() || view.FoundMode())
        return false;
    QStringList files;
    if (GetClipboardFiles(files) == 0)
        return false;
    const bool done = TransferFiles(owner, files, view.Folder(), DROPEFFECT_LINK);
    ReloadWhenIdle(&view, view);
    return done;
}

} // namespace kestrel
