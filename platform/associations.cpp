// Whether the desktop has a program for a file's type, from the freedesktop.org
// association lists (mimeapps.list) and the application entries (*.desktop)
// in the XDG data and configuration folders.

#include "platform/names.h"
#include "platform/native.h"
#include "platform/shell.h"

#include <QDirIterator>
#include <QHash>
#include <QMimeDatabase>
#include <QSet>
#include <QStandardPaths>

namespace kestrel::sys {

namespace {

QList<QByteArray> Items(const QByteArray &list)
{
    QList<QByteArray> items;
    for (const QByteArray &item : list.split(';'))
        if (!item.trimmed().isEmpty())
            items.append(item.trimmed());
    return items;
}

struct Application {
    QList<QByteArray> types; // the types it says it opens
    bool hidden = false;     // an entry that stands for a removed program
};

// Application entries by desktop file id (the path below an applications
// folder with '/' turned into '-'); an earlier folder hides a later one.
QHash<QByteArray, Application> ApplicationEntries()
{
    QHash<QByteArray, Application> entries;
    for (const QString &folder :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QByteArray id = EncodeName(file.mid(folder.size() + 1)).replace('/', '-');
            if (entries.contains(id))
                continue;
            Application app;
            for (const auto &[key, value] : ReadIniSection(EncodeName(file), "Desktop Entry")) {
                if (key == "MimeType")
                    app.types = Items(value);
                else if (key == "Hidden")
                    app.hidden = value == "true";
            }
            entries.insert(id, app);
        }
    }
    return entries;
}

// The association lists, most important first: the desktop's own list before
// the common one, configuration folders before the applications folders.
QList<QByteArray> AssociationLists()
{
    QStringList names;
    for (const QString &desktop : qEnvironmentVariable("XDG_CURRENT_DESKTOP")
                                      .toLower()
                                      .split(QLatin1Char(':'), Qt::SkipEmptyParts))
        names.append(desktop + QLatin1String("-mimeapps.list"));
    names.append(QStringLiteral("mimeapps.list"));
    QList<QByteArray> lists;
    for (const auto location :
         {QStandardPaths::GenericConfigLocation, QStandardPaths::ApplicationsLocation})
        for (const QString &folder : QStandardPaths::standardLocations(location))
            for (const QString &name : names)
                lists.append(EncodeName(folder + QLatin1Char('/') + name));
    return lists;
}

} // namespace

bool HasAssociatedProgram(const QString &path)
{
    QByteArray native;
    if (!ToNative(path, native))
        return false;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(DecodeName(native));
    QSet<QByteArray> types{type.name().toUtf8()};
    for (const QString &ancestor : type.allAncestors())
        types.insert(ancestor.toUtf8());
    for (const QString &alias : type.aliases())
        types.insert(alias.toUtf8());

    const QHash<QByteArray, Application> entries = ApplicationEntries();
    const auto usable = [&entries](const QByteArray &id) {
        const auto it = entries.constFind(id);
        return it != entries.constEnd() && !it->hidden;
    };
    for (const QByteArray &list : AssociationLists()) {
        for (const char *section : {"Default Applications", "Added Associations"})
            for (const auto &[key, value] : ReadIniSection(list, section))
                if (types.contains(key))
                    for (const QByteArray &id : Items(value))
                        if (usable(id))
                            return true;
    }
    for (const Application &app : entries)
        if (!app.hidden)
            for (const QByteArray &t : app.types)
                if (types.contains(t))
                    return true;
    return false;
}

} // namespace kestrel::sys
