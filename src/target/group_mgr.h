// The group manager: the editor's wrapper of the suite's file-group library (libH2Group.so).
#pragma once

#include "h2group.h"
#include "target/service_library.h"

#include <memory>
#include <string>

namespace rux {

// One per application. A missing library or entry point makes the matching call answer 0 or an
// empty text, without a word; so do all calls until Register succeeded.
class CGroupMgr {
public:
    CGroupMgr();
    explicit CGroupMgr(std::unique_ptr<CServiceLibrary> library);
    ~CGroupMgr();
    CGroupMgr(const CGroupMgr&) = delete;
    CGroupMgr& operator=(const CGroupMgr&) = delete;

    // Registers the client name that every later call passes, then loads the groups.
    bool Register(H2HWND mainWindow, const std::string& clientName);
    bool IsRegistered() const { return m_registered; }
    bool IsFileInGroup(const std::string& path) const;
    std::string GetFileGroup(const std::string& path) const;
    bool FileChanged(H2HWND mainWindow, const std::string& path) const;

private:
    template <class F> void Bind(F*& slot, const char* name) { slot = m_library->Entry<F>(name); }

    std::unique_ptr<CServiceLibrary> m_library;
    std::string m_client;
    bool m_registered = false;
    decltype(&::H2GROUP_LoadGroups) m_loadGroups = nullptr;
    decltype(&::H2GROUP_EditGroups) m_editGroups = nullptr;
    decltype(&::H2GROUP_RemoveFromGroup) m_removeFromGroup = nullptr;
    decltype(&::H2GROUP_AddToGroup) m_addToGroup = nullptr;
    decltype(&::H2GROUP_NewGroup) m_newGroup = nullptr;
    decltype(&::H2GROUP_RegisterClient) m_registerClient = nullptr;
    decltype(&::H2GROUP_UnregisterClient) m_unregisterClient = nullptr;
    decltype(&::H2GROUP_IsFileInGroup) m_isFileInGroup = nullptr;
    decltype(&::H2GROUP_GetFileGroup) m_getFileGroup = nullptr;
    decltype(&::H2GROUP_FileChanged) m_fileChanged = nullptr;
};

} // namespace rux
