#pragma once
// The three work folders: a folder per slot, set from the panel's folder,
// opened, cleared, and the colour each slot's button shows.

#include <QString>

#include <array>

namespace kestrel {

// Button text colours, as Windows colour values (0x00BBGGRR): aqua and
// fuchsia. The buttons show them darkened or lightened until they can be
// read on the bar.
inline constexpr unsigned kWorkHere = 0xFFFF00;  // the slot is the panel's folder
inline constexpr unsigned kWorkOther = 0xFF00FF; // the slot holds another folder

enum class TWorkState { Empty, Here, Other };

class TWorkFolders {
public:
    static constexpr int count = 3;

    QString Get(int slot) const { return slots[size_t(slot)]; }
    bool IsSet(int slot) const { return !Get(slot).isEmpty(); }
    // Stores folder in an empty slot; a set slot is kept. True when stored.
    bool Set(int slot, const QString &folder);
    void Clear(int slot) { slots[size_t(slot)].clear(); }

    TWorkState State(int slot, const QString &panelFolder) const;

private:
    std::array<QString, count> slots;
};

} // namespace kestrel
