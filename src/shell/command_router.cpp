#include "shell/command_router.h"

#include "shell/hook_menu.h"
#include "shell/manuals.h"

namespace rux {

void CCommandRouter::SetManuals(const H2_CManuals* manuals, ManualOpener opener, ManualFailure failure) {
    m_manuals = manuals;
    m_opener = std::move(opener);
    m_failure = std::move(failure);
}

std::vector<CCommandTarget*> CCommandRouter::Chain() const {
    std::vector<CCommandTarget*> chain;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (slot == kApplication) chain.insert(chain.end(), m_extensions.begin(), m_extensions.end());
        if (m_targets[slot]) chain.push_back(m_targets[slot]);
    }
    return chain;
}

CCmdUI CCommandRouter::Update(int id) const {
    CCmdUI ui(id);
    if (IsHookId(id)) {
        // The enabled state of a hook item is the library's alone.
        if (m_hook && m_hook->IsHookCommand(id)) ui.Enable(m_hook->IsEnabled(id));
        return ui;
    }
    if (IsManualId(id)) {
        ui.Enable(m_manuals && m_manuals->FindItem(id) != nullptr);
        return ui;
    }
    for (CCommandTarget* target : Chain())
        if (target->OnUpdateCommand(ui)) return ui;
    return ui;
}

bool CCommandRouter::Execute(int id) {
    if (IsHookId(id)) return m_hook && m_hook->IsHookCommand(id) && m_hook->IsEnabled(id) && m_hook->Execute(id);
    if (IsManualId(id)) {
        if (!m_manuals || !m_manuals->FindItem(id) || !m_opener) return false;
        std::string error;
        if (!m_manuals->Open(id, m_opener, error) && m_failure) m_failure(error);
        return true;
    }
    for (CCommandTarget* target : Chain()) {
        // A target that says the command is disabled must not run it when a stale menu or a key
        // sends it anyway.
        CCmdUI ui(id);
        if (!target->OnUpdateCommand(ui)) continue;
        if (!ui.enabled) return false;
        if (target->OnCommand(id)) return true;
    }
    return false;
}

} // namespace rux
