#pragma once
// The clipboard commands of the Edit menu and the panel's context menu, as
// the main window calls them. The clipboard module implements them.

namespace kestrel {

class TClipboardCommands {
public:
    virtual ~TClipboardCommands() = default;
    virtual void Copy() = 0;
    virtual void Cut() = 0;
    virtual void Paste() = 0;
    virtual void PasteShortcut() = 0;
};

} // namespace kestrel
