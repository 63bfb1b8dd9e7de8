#pragma once
// The destination prompt of the commands that write elsewhere (extract,
// copy, move): the drive chooser, whose answer is a removable drive's root,
// a work-folder digit, or the start of the folder picker.

#include <QString>

class QObject;

namespace kestrel {

class TWorkFolders;

// The chosen folder, or "" when the user gave none. noTreeA: a removable
// drive is taken as its root, without the folder picker.
QString AskDestination(QObject *owner, const QString &folder, const TWorkFolders &workFolders,
                       bool noTreeA);

} // namespace kestrel
