// Tree information files: whatever a file holds loads without a crash into a
// consistent model or into none with a message; what that model saves loads
// back to the same model and saves the same lines again, also through a file
// on disk; every folder is found again by its full path. Input: the bytes of
// a tree file.

#include "fuzz/support.h"
#include "platform/drives.h"
#include "platform/statefile.h"
#include "tree/treeitems.h"

namespace {

using namespace kestrel;

const QString inputPath = QStringLiteral("C:\\input.kcd");
const QString writtenPath = QStringLiteral("C:\\written.kcd");

QStringList Saved(const TTreeItems &items)
{
    QStringList lines;
    items.SaveToStrings(lines);
    return lines;
}

// A path FindItem can take apart again: a drive root and names that are not
// empty and hold no backslash.
bool Findable(const TTreeItem *item)
{
    const TTreeItem *node = item;
    for (; node->Parent; node = node->Parent) {
        if (node->Name.isEmpty() || node->Name.contains(QLatin1Char('\\')))
            return false;
    }
    return node->Name.size() == 2 && node->Name[1] == QLatin1Char(':') &&
           node->Name[0] != QLatin1Char('\\');
}

void CheckFindItem(const TTreeItems &items)
{
    int checked = 0;
    for (const TTreeItem *node = items.Root(); node && checked < 64; node = node->GetNext()) {
        if (!Findable(node))
            continue;
        ++checked;
        const QString path = node->GetFullPath();
        const TTreeItem *found = items.FindItem(path);
        fuzz::Check(found && sys::SameText(found->GetFullPath(), path),
                    "a folder is not found by its path", fuzz::Shown(path));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::SetUpMachine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Check(sys::WriteWholeFile(
                    inputPath, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))),
                "cannot write the input file");
    TTreeItems items;
    QString error;
    const bool loaded = items.LoadFromFile(inputPath, &error);
    fuzz::Check(items.IsConsistent(), "the loaded model is not consistent");
    fuzz::Check(loaded == (items.Root() != nullptr), "the load tells a root that is not there");
    fuzz::Check(error.isEmpty() || !loaded, "a failed load kept a tree", error);
    if (!loaded)
        return 0;

    const QStringList once = Saved(items);
    TTreeItems again;
    fuzz::Check(again.LoadFromStrings(once, &error) && error.isEmpty(), "saved lines do not load",
                fuzz::Shown(once) + QLatin1Char(' ') + error);
    fuzz::Check(again.IsConsistent(), "the reloaded model is not consistent");
    const QStringList twice = Saved(again);
    fuzz::Check(twice == once, "saved lines load back different",
                fuzz::Shown(once) + QStringLiteral("\nthen: ") + fuzz::Shown(twice));
    fuzz::Check(again.SaveToFile(writtenPath), "cannot write the tree file");
    TTreeItems fromDisk;
    fuzz::Check(fromDisk.LoadFromFile(writtenPath) && Saved(fromDisk) == once,
                "the written file loads back different", fuzz::Shown(once));
    CheckFindItem(again);
    return 0;
}
