// The file panel as screen readers see it: a list whose rows are the
// entries, named by their names, described by their status-bar text.

#include "panel/filetexts.h"
#include "panel/kfileview.h"

namespace kestrel {

namespace {

// " 1,234  |  05/03/2024, 10:15  |  A  " read aloud: parts, not bars.
QString SpokenStatus(const QString &status)
{
    QStringList parts;
    for (const QString &part : status.split(QLatin1Char('|'))) {
        const QString text = part.trimmed();
        if (!text.isEmpty())
            parts.append(text);
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace

QString TCustomFileView::RowName(int row) const
{
    const TFile *file = Files.Get(row);
    if (!file)
        return QString();
    // A drive is read as its row shows it; other entries by their real
    // names, whatever case or short form the panel draws them in.
    if (file->Kind() == fkDrive)
        return PrintableText(DriveRowText(file->Name, file->Ext));
    return PrintableText(file->GetFullName());
}

QString TCustomFileView::RowDescription(int row) const
{
    return SpokenStatus(EntryStatusText(Files.Get(row)));
}

int TCustomFileView::FocusedRow() const
{
    return Files.Get(FocusedIndex) ? FocusedIndex : -1;
}

bool TCustomFileView::RowSelected(int row) const
{
    const TFile *file = Files.Get(row);
    return file && file->Selected;
}

QString TCustomFileView::RowsDescription() const
{
    const QString selection = SelectionStatus();
    return selection.isEmpty() ? TitleInfo() : selection;
}

void TCustomFileView::FocusChanged()
{
    if (!Files.Updating())
        AccessibleFocusMoved();
}

void TCustomFileView::SelectionChanged(int index)
{
    if (!Files.Updating())
        AccessibleSelectionChanged(index);
}

} // namespace kestrel
