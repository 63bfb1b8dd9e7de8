#pragma once
// TArj: the archive handler for ARJ archives. The listing comes from the
// ARJ headers, read by the program itself; extracting and adding run the
// outside arj program. Extraction never lets arj write into the
// destination itself: it extracts into a private folder there, and each
// item is checked and put in place from it.

#include "archive/archive.h"
#include "archive/arjheader.h"

#include <QHash>

#include <optional>

namespace kestrel {

class TArj : public TArchive {
public:
    TArj();

    // Items whose names lead outside any destination: the archive is not
    // extracted at all, because arj would write them where they point.
    QStringList UnsafeNames;

    void ReadList() override;
    void Extract(const QString &destination) override;
    void Add() override;

    // The arguments of the extract and add runs.
    QStringList ExtractArguments(const QString &archive, const QString &folder,
                                 const QString &listFile) const;
    QStringList AddArguments(const QString &archive, const QString &listFile) const;

    // The name of the volume after path: ".arj" becomes ".a01", ".a01" ".a02".
    static QString NextVolume(const QString &path);

private:
    // Lists the items of one volume; true when its last item goes on in
    // the next one.
    bool ListVolume(const QString &path);
    void AddItem(const TArjHeader &header);

    struct TStored {
        QByteArray name;               // as stored, slashes
        std::optional<sys::DWORD> crc; // unknown for an item split over volumes
    };
    QHash<QString, TStored> stored; // by the item's key, case folded
};

} // namespace kestrel
