#include "ops/clipboardformats.h"

#include "platform/drives.h"

#include <QByteArrayList>

#include <optional>

namespace kestrel {

namespace {

// Percent-encodes the native bytes, so names that are not UTF-8 survive.
QByteArray FileUri(const QByteArray &native)
{
    return QByteArrayLiteral("file://") + native.toPercentEncoding("/");
}

// A local file URI ("file:///p", "file://localhost/p", "file:/p") to a
// Windows-form path; nullopt for anything else.
std::optional<QString> PathOfUri(QByteArray uri)
{
    uri = uri.trimmed();
    if (!uri.toLower().startsWith("file:"))
        return std::nullopt;
    uri.remove(0, 5);
    const qsizetype cut = uri.indexOf('?') >= 0 ? uri.indexOf('?') : uri.indexOf('#');
    if (cut >= 0)
        uri.truncate(cut);
    if (uri.startsWith("//")) {
        const qsizetype slash = uri.indexOf('/', 2);
        const QByteArray host = uri.mid(2, slash < 0 ? -1 : slash - 2).toLower();
        if (slash < 0 || (!host.isEmpty() && host != "localhost"))
            return std::nullopt;
        uri.remove(0, slash);
    }
    if (!uri.startsWith('/'))
        return std::nullopt;
    QString path;
    if (!sys::FromNative(QByteArray::fromPercentEncoding(uri), path))
        return std::nullopt;
    return path;
}

void AddFiles(const QByteArrayList &uris, QStringList &files)
{
    for (const QByteArray &uri : uris) {
        if (uri.trimmed().isEmpty() || uri.startsWith('#'))
            continue;
        if (const auto path = PathOfUri(uri))
            files.append(*path);
    }
}

enum class Mark { None, Copy, Move };

Mark GnomeMark(const QByteArray &firstLine)
{
    const QByteArray word = firstLine.trimmed();
    if (word == "copy")
        return Mark::Copy;
    if (word == "cut")
        return Mark::Move;
    return Mark::None;
}

Mark KdeMark(const QByteArray &data)
{
    const QByteArray value = data.trimmed();
    if (value == "0")
        return Mark::Copy;
    if (value == "1")
        return Mark::Move;
    return Mark::None;
}

Mark DropEffectMark(const QByteArray &data)
{
    if (data.size() < 4)
        return Mark::None;
    const auto *p = reinterpret_cast<const unsigned char *>(data.constData());
    const sys::DWORD effect = p[0] | (p[1] << 8) | (p[2] << 16) | (sys::DWORD(p[3]) << 24);
    // Move when the move bit is set; anything else, even 0, is a copy.
    return (effect & DROPEFFECT_MOVE) ? Mark::Move : Mark::Copy;
}

} // namespace

void SetClipboardFiles(QMimeData &data, const QStringList &files, bool cut)
{
    QByteArray uriList;
    QByteArray gnome = cut ? QByteArrayLiteral("cut") : QByteArrayLiteral("copy");
    QByteArrayList text;
    for (const QString &file : files) {
        QByteArray native;
        if (!sys::ToNative(file, native))
            continue;
        const QByteArray uri = FileUri(native);
        uriList += uri + "\r\n";
        gnome += '\n' + uri;
        text.append(native);
    }
    data.setData(QString::fromLatin1(mimeUriList), uriList);
    data.setData(QStringLiteral("text/plain"), text.join('\n'));
    data.setData(QString::fromLatin1(mimeGnomeCopiedFiles), gnome);
    data.setData(QString::fromLatin1(mimeKdeCutSelection), cut ? "1" : "0");
    const sys::DWORD effect = cut ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
    QByteArray dword(4, '\0');
    for (int i = 0; i < 4; ++i)
        dword[i] = char((effect >> (8 * i)) & 0xFF);
    data.setData(QString::fromLatin1(mimePreferredDropEffect), dword);
}

int GetClipboardFiles(const QMimeData &data, QStringList &files)
{
    files.clear();
    QList<Mark> marks;
    QByteArrayList gnomeUris;
    const QString gnomeFormat = QString::fromLatin1(mimeGnomeCopiedFiles);
    if (data.hasFormat(gnomeFormat)) {
        gnomeUris = data.data(gnomeFormat).split('\n');
        marks.append(GnomeMark(gnomeUris.takeFirst()));
    }
    const QString kdeFormat = QString::fromLatin1(mimeKdeCutSelection);
    if (data.hasFormat(kdeFormat))
        marks.append(KdeMark(data.data(kdeFormat)));
    const QString effectFormat = QString::fromLatin1(mimePreferredDropEffect);
    if (data.hasFormat(effectFormat))
        marks.append(DropEffectMark(data.data(effectFormat)));

    const QString uriFormat = QString::fromLatin1(mimeUriList);
    if (data.hasFormat(uriFormat))
        AddFiles(data.data(uriFormat).split('\n'), files);
    if (files.isEmpty())
        AddFiles(gnomeUris, files);
    if (files.isEmpty())
        return 0;
    if (marks.contains(Mark::Copy) || !marks.contains(Mark::Move))
        return DROPEFFECT_COPY;
    return DROPEFFECT_MOVE;
}

} // namespace kestrel
