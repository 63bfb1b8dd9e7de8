#include "app/errorbox.h"

#include "ops/ask.h"

namespace kestrel {

QString CommandErrorText(sys::DWORD code)
{
    switch (code) {
    case 2:
    case 3:
        return QStringLiteral("The system cannot find the file/folder specified");
    case 5:
        return QStringLiteral("Access is denied.");
    case 19:
        return QStringLiteral("Disk is write-protected");
    case 21:
        return QStringLiteral("Drive is not ready");
    case 30:
        return QStringLiteral("Read failed. Disk may be broken.");
    case 32:
        return QStringLiteral("There has been sharing violation. File or Folder is being used by "
                              "another program");
    case 86:
        return QStringLiteral("Invalid Password");
    case 112:
        return QStringLiteral("There is no enough space in disk");
    case 123:
        return QStringLiteral("Invalid Name");
    case 145:
        return QStringLiteral("Folder is not empty.");
    case 183:
        return QStringLiteral("The file/folder which has same name is already exists.");
    case 1005:
        return QStringLiteral("The volume does not contain a recognized file system.");
    }
    return QStringLiteral("Error Occured. Error Code : %1\n\nPlease mail me an error code and "
                          "situation error occured.")
        .arg(code);
}

void ShowCommandError(QObject *owner, sys::DWORD code)
{
    Ask().MessageBox(owner, CommandErrorText(code), QStringLiteral("Error"), MB_OK | MB_ICONERROR);
}

QString ThousandsText(sys::UINT64 value)
{
    QString digits = QString::number(value);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return digits;
}

} // namespace kestrel
