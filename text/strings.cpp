#include "text/strings.h"

#include <QLocale>

#include <algorithm>
#include <iterator>

namespace kestrel {

namespace {

struct TStringEntry {
    int id;
    const char *text;
};

// Sorted by id.
constexpr TStringEntry stringTable[] = {
    {256, "The system cannot find the file/folder specified"},
    {257, "Drive is not ready"},
    {258, "There has been a sharing violation. The file or folder is being used by another "
          "program."},
    {259, "Access is denied."},
    {260, "Disk is write-protected"},
    {261, "There is not enough space on the disk."},
    {262, "The volume does not contain a recognized file system."},
    {263, "Folder is not empty."},
    {264, "Invalid Name"},
    {265, "A file or folder with the same name already exists."},
    {266, "Read failed. Disk may be broken."},
    {267, "An error occurred. Error code: %d\n\nPlease report the error code and what you were "
          "doing when the error occurred."},
    {268, "Invalid Password"},
    {269, "No program is associated with this type of file."},
    {509, "'%s'\n\nEmpty in order to remove description"},
    {510, "Add/Modify Description"},
    {511, "Do you want to process the rest of files?"},
    {512, "Error"},
    {517, "Select Folder"},
    {520, "You can put several filters separated by semicolons (;)\nex) *.exe;*.txt;a??.dll"},
    {521, "Filter"},
    {524, "Destination folder already contains a file named '%s'"},
    {528, "Are you sure you want to delete all description?"},
    {529, "Delete All Description"},
    {539, "Selected All Files/Folders\n\nAre you sure you want to send to RecycleBin?"},
    {540, "%s\n\nAre you sure you want to send to RecycleBin?"},
    {541, "%s\n\nAre you sure you want to send to RecycleBin?"},
    {568, "All"},
    {576, "Put new name you want to change to"},
    {577, "Rename and Copy"},
    {578, "Moving..."},
    {579, "Copying..."},
    {580, "\nFile/Folder has important attributes\nDo you really want to delete it?"},
    {586, "Are you sure to delete?"},
    {587, "Delete Extension"},
    {588, "Add Extension"},
    {589, "Put the name of extensions you want to add divide by semicolone(;)"},
    {594, "Join Files"},
    {596, "Destination folder already contains a folder named '%s'"},
    {597, "If the files in the existing folder have the same names as files in the folder you are "
          "moving or copying, they will be replaced. Do you still want to move or copy the "
          "folder?"},
    {598, "Split File"},
    {599, "Are you sure you want to empty system temp folder"},
    {801, "Color you selected is already exists in the list"},
};

} // namespace

QString LoadStr(int id)
{
    const auto *end = std::end(stringTable);
    const auto *it = std::lower_bound(std::begin(stringTable), end, id,
                                      [](const TStringEntry &e, int v) { return e.id < v; });
    if (it == end || it->id != id)
        return QString();
    return QString::fromUtf8(it->text);
}

QString ThousandsText(sys::UINT64 value)
{
    QLocale locale = QLocale::system();
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(qulonglong(value));
}

} // namespace kestrel
