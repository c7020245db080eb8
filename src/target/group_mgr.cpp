#include "target/group_mgr.h"

namespace rux {

CGroupMgr::CGroupMgr() : CGroupMgr(std::make_unique<CServiceLibrary>("H2Group")) {}

CGroupMgr::CGroupMgr(std::unique_ptr<CServiceLibrary> library) : m_library(std::move(library)) {
    if (!m_library) return;
    // All ten are resolved so that a library lacking one is known at once; only the manager's
    // operations are ever called.
    Bind(m_loadGroups, "H2GROUP_LoadGroups");
    Bind(m_editGroups, "H2GROUP_EditGroups");
    Bind(m_removeFromGroup, "H2GROUP_RemoveFromGroup");
    Bind(m_addToGroup, "H2GROUP_AddToGroup");
    Bind(m_newGroup, "H2GROUP_NewGroup");
    Bind(m_registerClient, "H2GROUP_RegisterClient");
    Bind(m_unregisterClient, "H2GROUP_UnregisterClient");
    Bind(m_isFileInGroup, "H2GROUP_IsFileInGroup");
    Bind(m_getFileGroup, "H2GROUP_GetFileGroup");
    Bind(m_fileChanged, "H2GROUP_FileChanged");
}

CGroupMgr::~CGroupMgr() {
    if (m_registered && m_unregisterClient) m_unregisterClient(m_client.c_str());
}

bool CGroupMgr::Register(H2HWND mainWindow, const std::string& clientName) {
    if (!m_registerClient || !m_loadGroups) return false;
    if (m_registerClient(mainWindow, clientName.c_str()) == 0) return false;
    m_client = clientName;
    m_registered = m_loadGroups(m_client.c_str()) != 0;
    return m_registered;
}

bool CGroupMgr::IsFileInGroup(const std::string& path) const {
    return m_registered && m_isFileInGroup && m_isFileInGroup(path.c_str(), m_client.c_str()) != 0;
}

std::string CGroupMgr::GetFileGroup(const std::string& path) const {
    if (!m_registered || !m_getFileGroup) return {};
    char buffer[H2GROUP_NAME] = {};
    if (m_getFileGroup(path.c_str(), m_client.c_str(), buffer, sizeof buffer) == 0) return {};
    return buffer;
}

bool CGroupMgr::FileChanged(H2HWND mainWindow, const std::string& path) const {
    return m_registered && m_fileChanged && m_fileChanged(mainWindow, path.c_str(), m_client.c_str()) != 0;
}

} // namespace rux
