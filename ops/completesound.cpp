#include "ops/completesound.h"

#include "platform/drives.h"
#include "platform/fileapi.h"
#include "platform/names.h"
#include "platform/shell.h"

#ifdef KESTREL_HAVE_MULTIMEDIA
#include <QCoreApplication>
#include <QSoundEffect>
#include <QUrl>
#endif

namespace kestrel {

bool PlayCompleteSound(bool soundOn)
{
    if (!soundOn)
        return false;
    const QString folder = sys::ProgramDir();
    // Without the program's folder the name would be looked up in the current one.
    if (folder.isEmpty())
        return false;
    const QString path = QStringLiteral("%1complete.wav").arg(folder);
    const sys::DWORD attributes = sys::GetFileAttributes(path);
    if (attributes == sys::INVALID_FILE_ATTRIBUTES || (attributes & sys::FILE_ATTRIBUTE_DIRECTORY))
        return false;
#ifdef KESTREL_HAVE_MULTIMEDIA
    QByteArray native;
    if (!sys::ToNative(path, native))
        return false;
    // One effect for the whole run: a sound still playing is not cut off.
    static QSoundEffect *effect = new QSoundEffect(QCoreApplication::instance());
    if (effect->isPlaying())
        return false;
    effect->setSource(QUrl::fromLocalFile(sys::DecodeName(native)));
    effect->play();
    return true;
#else
    return false;
#endif
}

} // namespace kestrel
