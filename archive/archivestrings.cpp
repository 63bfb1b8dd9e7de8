#include "archive/archivestrings.h"

#include "ops/errors.h"

#include "text/strings.h"

#include <algorithm>
#include <iterator>

namespace kestrel {

namespace {

struct TArchiveString {
    int id;
    const char *text;
};

// Sorted by id.
constexpr TArchiveString archiveStrings[] = {
    {525, "%s\nPlease insert the disk include this file and click \"OK\" button"},
    {526, "Extracting..."},
    {527, "Compressing..."},
    {542, "After finishing install, click \"OK\" button.\nKestrel will delete temporary files "
          "extracted."},
    {543, "Install Program"},
    {544, "There is no execution file for installing"},
    {545, "Compress (Move)"},
    {546, "Compress (Copy)"},
    {1100, "Extract to"},
    {1101, "Extract to folders"},
    {10101, "Fatal Error in ZipDLL.DLL: abort exception"},
    {10103, "Requested memory not available"},
    {10104, "Invalid Password"},
    {10201, "Seek error reading Zip archive!"},
    {10202, "Unknown error in List() function\n"},
    {10203, "Warning - Error in zip structure!"},
    {10501, "Fatal Error in UnzDLL.DLL: abort exception"},
    {10602, "ZipDllExec function not found in ZIPDLL.DLL!"},
    {10604, "ZIPDLL.DLL not found!"},
    {10702, "UnzDllExec function not found in UNZDLL.DLL!"},
    {10704, "UNZDLL.DLL not found!"},
    {11001, "Input file does not exist"},
    {11002, "Zip file could not be opened"},
    {11008, "Seek error in input file"},
    {11011, "Error while reading the End Of Central Directory"},
    {11013, "Error while reading a central header"},
    {11015, "A central header signature is wrong"},
    {11017, "Error while reading a central file name"},
    {11036, "This archive is not a valid Zip archive"},
    {30101, "Not enough memory"},
    {30102, "Fatal Error : Bad CRC Data"},
    {30103, "Unkown file format"},
    {30104, "This is not a %s archive file"},
    {30201, "File open failed"},
    {30202, "File create failed"},
    {30203, "File close failed"},
    {30204, "File read failed"},
    {30205, "File write failed"},
    {30300, "Buffer size is too small"},
    {30301, "Unkown error occured."},
    {30302, "%s, Can't find Dll file"},
    {30303, "Invalid password"},
    {30304, "%s, Can't find next volume file"},
    {30305, "There is not enough disk space"},
    {30306, "Already exists same named file"},
    {30400, "\n\npassword"},
    {30401, "Confirm password"},
    {30501, "%s: skipped, the name leads outside the destination folder"},
    {30502, "%s: skipped, the link points outside the destination folder"},
    {30503, "%s: skipped, the path passes through a symbolic link"},
    {30504, "%s: CRC error, the data is damaged"},
    {30505, "Some items were not extracted:"},
    {30506, "... and %d more"},
    {30507, "%s: not found"},
    {30508, "%s: the item's header cannot be read"},
    {30509, "Some items were not added:"},
    {30510, "%s: the archive is damaged or cut short"},
    {30511, "%s: encrypted, and this format's encryption cannot be read"},
    {30512, "%s: skipped, devices, pipes and sockets are not extracted"},
    {30513, "%s: skipped, there is not enough disk space"},
    {30530, "%s: the archiver did not extract it"},
    {30531,
     "%s holds items whose names lead outside the destination folder; nothing was extracted"},
    {30532,
     "The archiver program \"%s\" was not found. Set its path in Preferences, Program page."},
    {30533, "The archiver program \"%s\" ended with error code %d."},
    {30534, "%s: the archive could not be read back whole; no original was deleted"},
    {30535, "%s: the archive does not hold everything that was to be added"},
    {30536, "%s is a folder; choose a file name for the archive"},
    {30537, "A ZIP password may hold only ASCII characters, since other programs read the "
            "others differently."},
    {30538, "The password may be at most 30 characters long."},
};

} // namespace

QString ArchiveStr(int id)
{
    const auto *end = std::end(archiveStrings);
    const auto *it = std::lower_bound(std::begin(archiveStrings), end, id,
                                      [](const TArchiveString &e, int v) { return e.id < v; });
    if (it == end || it->id != id)
        return LoadStr(id);
    return QString::fromUtf8(it->text);
}

QString WithName(int id, const QString &name)
{
    return ArchiveStr(id).replace(QLatin1String("%s"), name);
}

QString ErrorLine(const QString &name, int code)
{
    return name + QLatin1String(": ") + GetErrorMessage(code);
}

} // namespace kestrel
