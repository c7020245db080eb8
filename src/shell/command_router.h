// Routes a command id to the first of the editor's command targets that handles it, and asks the same
// target whether the command is enabled and checked.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace rux {

class CHookMenu;
class H2_CManuals;

// The state of one command as menus and toolbars show it.
struct CCmdUI {
    explicit CCmdUI(int commandId) : id(commandId) {}

    void Enable(bool on = true) { enabled = on; }
    void SetCheck(bool on = true) {
        checkable = true;
        checked = on;
    }

    int id;
    bool enabled = false;
    bool checkable = false;
    bool checked = false;
    // A replacement for the menu text; empty keeps the text of the string table.
    std::string text;
};

class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;
    // True when this target handles the id; it then fills `ui`.
    virtual bool OnUpdateCommand(CCmdUI& ui) = 0;
    // True when this target handled the command; false lets the next target have it.
    virtual bool OnCommand(int id) = 0;
};

class CCommandRouter {
public:
    // The targets after the hook menu and the user guides, in the order they are asked.
    enum ESlot { kTree, kView, kDocument, kFrame, kApplication, kSlotCount };

    // Shows a user guide that could not be opened: the text and the information icon.
    using ManualFailure = std::function<void(const std::string& text)>;
    using ManualOpener = std::function<int(const std::string& target)>;

    void SetHookMenu(CHookMenu* hook) { m_hook = hook; }
    void SetManuals(const H2_CManuals* manuals, ManualOpener opener, ManualFailure failure);
    // A null target leaves the slot out; the tree is set only while it has the focus.
    void SetTarget(ESlot slot, CCommandTarget* target) { m_targets[slot] = target; }
    CCommandTarget* Target(ESlot slot) const { return m_targets[slot]; }
    // A feature's own target (porting tool, indexer import, build...): asked after the frame and
    // before the application, in the order added. The router does not own it.
    void AddExtension(CCommandTarget* target) { m_extensions.push_back(target); }
    const std::vector<CCommandTarget*>& Extensions() const { return m_extensions; }

    // Nobody handling the id leaves it disabled: a command never looks available and does nothing.
    CCmdUI Update(int id) const;
    // True when some target handled the command.
    bool Execute(int id);

    static bool IsHookId(int id) { return id >= 6000 && id <= 6100; }
    static bool IsManualId(int id) { return id >= 6101 && id <= 6150; }

private:
    CHookMenu* m_hook = nullptr;
    const H2_CManuals* m_manuals = nullptr;
    ManualOpener m_opener;
    ManualFailure m_failure;
    std::array<CCommandTarget*, kSlotCount> m_targets{};
    std::vector<CCommandTarget*> m_extensions;

    // The targets in the order they are asked.
    std::vector<CCommandTarget*> Chain() const;
};

} // namespace rux
