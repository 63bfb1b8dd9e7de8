#pragma once
// The program's own folder under the system's temporary folder, which only
// its owner may enter: archived files opened from the panel are extracted
// there. Made on first use, removed with everything in it when the program
// ends.

#include <QString>

namespace kestrel {

class TPrivateTempFolder {
public:
    static TPrivateTempFolder &Instance();

    TPrivateTempFolder() = default;
    ~TPrivateTempFolder() { Remove(); }
    TPrivateTempFolder(const TPrivateTempFolder &) = delete;
    TPrivateTempFolder &operator=(const TPrivateTempFolder &) = delete;

    // The folder, made when missing; "" when it cannot be made.
    QString Path();
    // A new empty folder inside it; "" when it cannot be made.
    QString NewFolder();
    // Removes the folder with everything in it.
    void Remove();

private:
    QString path;
    int made = 0;
};

} // namespace kestrel
