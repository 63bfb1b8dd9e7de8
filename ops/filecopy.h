#pragma once
// TFileCopy: copies or moves files and folder trees into a destination
// folder, asking through OnFileExists when a target exists.

#include "ops/filefunction.h"

#include <functional>
#include <memory>

namespace kestrel {

class TFileCopy;
class TFileDelete;

// Called when a target exists; must set flags (fe* bits) and, with
// feRename, may change target.
using TFileExistsEvent = std::function<void(TFileCopy &sender, const QString &source,
                                            QString &target, sys::DWORD &flags)>;

class TFileCopy : public TFileFunction {
public:
    explicit TFileCopy(QObject *owner);
    ~TFileCopy() override;

    TFileExistsEvent OnFileExists;
    sys::UINT64 TotalSize = 0;
    int FileCount = 0;    // 0: the number of items in Files
    sys::DWORD Flags = 0; // the conflict answer in force
    bool RemoveReadOnly = false;
    // The names the items get in the destination, by index; a missing or
    // empty one keeps the item's own name.
    QStringList TargetNames;

    // The most a file copy moves between two looks at cancel: what the kernel
    // copies at once, page-aligned. Data it cannot copy moves in smaller steps.
    static constexpr sys::DWORD CopyStep = 1 << 20;

    // Each returns the result of the last item handled.
    int Copy(const QString &destination);
    int Move(const QString &destination);

private:
    enum class ItemWork { Copy, MoveAcross, MoveWithin };

    bool CheckFreeSpace(const QString &destination);
    void CountTotals();
    void OpenProgress(bool byteMode, int caption, const QString &destination);
    int RunItems(const QString &destination, ItemWork work);
    int CopyItem(const QString &source, const QString &target);
    int MoveItemAcross(const QString &source, const QString &target);
    int MoveItemWithin(const QString &source, const QString &target);
    // attributes: the source's, when the caller has them from a listing.
    int CopyOneFile(const QString &source, const QString &target,
                    sys::DWORD attributes = sys::INVALID_FILE_ATTRIBUTES);
    // A link is copied as a link holding the same target text.
    int CopyLink(const QString &source, const QString &target, sys::DWORD attributes);
    int CopyFolderTree(const QString &source, const QString &target);
    int CopyContents(const QString &source, const QString &target);
    void Advance(sys::UINT64 bytes);

    bool byteMode = true;
    // A moved item was copied but its original could not be removed; the
    // user hears of that once per run.
    bool sourceKept = false;
    bool toldSourceKept = false;
    std::unique_ptr<TFileDelete> remover; // removes the sources of a move
};

} // namespace kestrel
