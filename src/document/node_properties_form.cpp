#include "document/node_properties_form.h"

#include "document/item.h"
#include "document/library_name.h"
#include "document/message_sink.h"
#include "document/string_table.h"
#include "target/library_service.h"
#include "target/target_library.h"

namespace rux {

CNodePropertiesForm::CNodePropertiesForm(const CRuxHeader& header, CTargetLibrary& target, bool readOnly)
    : m_readOnly(readOnly) {
    m_visible.fill(true);
    m_enabled.fill(true);

    m_text[kAuthor] = header.Author;
    m_text[kCompany] = header.Company;
    m_text[kTitle] = header.Title;
    m_text[kVersion] = header.Version;
    m_text[kLibraryName] = header.Library;
    m_checked[kDebug] = header.Debug != 0;
    m_checked[kSource] = header.Source != 0;
    m_checked[kV3] = header.V3 != 0;
    m_checked[kUserProgEnabled] = header.UserProgEnabled != 0;
    m_checked[kClonable] = header.Clonable != 0;
    m_checked[kFixedPoint] = header.FloatingPoint == 0;
    m_checked[kBuildAsLibrary] = !header.Library.empty();
    m_libraryAtOpen = header.Library;
    // Toggling the library box off gives back what the header said, not what step 4 cleared.
    m_debugAtOpen = m_checked[kDebug];
    m_sourceAtOpen = m_checked[kSource];

    CTargetTypeInfo info;
    // Without type information the box stays: a user with a VQ7Z must still be able to set it.
    if (target.GetTypeInfos(header.Type, info) && !info.extendedMemory) m_visible[kV3] = false;
    m_visible[kFixedPoint] = target.GetFixedPointParamOpsSupport(header.Type) != 0;
    m_visible[kClonable] = target.GetCloneSupport(header.Type) != 0;
    m_librarySupported = target.GetLibrarySupport(header.Type) == 1;
    if (!m_librarySupported) {
        m_enabled[kLibraryName] = false;
        m_enabled[kBuildAsLibrary] = false;
    }
    ApplyLibraryState(false);
    if (m_readOnly) m_enabled.fill(false);
}

void CNodePropertiesForm::ApplyLibraryState(bool restoreBoxes) {
    if (m_checked[kBuildAsLibrary]) {
        m_enabled[kLibraryName] = m_librarySupported;
        m_enabled[kDebug] = m_enabled[kSource] = false;
        m_checked[kDebug] = m_checked[kSource] = false;
    } else {
        m_enabled[kLibraryName] = false;
        m_text[kLibraryName].clear();
        m_enabled[kDebug] = m_enabled[kSource] = true;
        if (restoreBoxes) {
            m_checked[kDebug] = m_debugAtOpen;
            m_checked[kSource] = m_sourceAtOpen;
        }
    }
}

bool CNodePropertiesForm::SetCheck(EControl control, bool checked) {
    if (!IsCheckBox(control) || !m_visible[control] || !m_enabled[control]) return false;
    if (m_checked[control] == checked) return true;
    m_checked[control] = checked;
    if (control == kBuildAsLibrary) ApplyLibraryState(true);
    return true;
}

bool CNodePropertiesForm::SetText(EControl control, std::string text) {
    if (!IsEdit(control) || !m_enabled[control]) return false;
    // Every one of these fields is written on one line of the file; a line break would end it there
    // and let the rest pass for header keys and program lines.
    if (text.find_first_of("\r\n") != std::string::npos) return false;
    m_text[control] = std::move(text);
    return true;
}

int CNodePropertiesForm::ToolTipId(EControl control) {
    switch (control) {
    case kUserProgEnabled:
        return kStrTipUserProgEnabled;
    case kDebug:
        return kStrTipDebug;
    case kV3:
        return kStrTipV3;
    case kSource:
        return kStrTipSource;
    case kBuildAsLibrary:
        return kStrTipBuildAsLibrary;
    case kFixedPoint:
        return kStrTipFixedPoint;
    case kClonable:
        return kStrTipClonable;
    default:
        return 0;
    }
}

CNodePropertiesForm::EOkResult CNodePropertiesForm::OnOk(CLibraryService& libraries,
                                                         CMessageSink& messages) const {
    if (!m_checked[kBuildAsLibrary]) return EOkResult::Accepted;
    const std::string& name = m_text[kLibraryName];
    auto stay = [&](int id) {
        messages.ShowMessage(id, LoadString(id));
        return EOkResult::StayLibrary;
    };
    if (name.empty()) return stay(kStrLibraryNameMissing);
    // The library of this program exists already; a new spelling of its case is the same library.
    if (EqualsNoCase(name, m_libraryAtOpen)) return EOkResult::Accepted;
    if (!IsValidLibraryName(name)) return stay(kStrInvalidLibraryName);
    switch (libraries.CreateLibrary(name)) {
    case -2:
        return stay(kStrLibraryFileFailed);
    case -1:
        return stay(kStrLibraryFolderExists);
    case 0:
        return EOkResult::StayLibrary;
    default:
        return EOkResult::Accepted;
    }
}

void CNodePropertiesForm::WriteBack(CRuxHeader& header) const {
    if (m_readOnly) return;
    header.Author = m_text[kAuthor];
    header.Company = m_text[kCompany];
    header.Title = m_text[kTitle];
    header.Version = m_text[kVersion];
    header.V3 = m_checked[kV3] ? 1 : 0;
    header.UserProgEnabled = m_checked[kUserProgEnabled] ? 1 : 0;
    header.Clonable = m_checked[kClonable] ? 1 : 0;
    header.FloatingPoint = m_checked[kFixedPoint] ? 0 : 1;
    if (m_checked[kBuildAsLibrary]) {
        // Debug and Source keep the header's values: a library build ignores them.
        header.Library = m_text[kLibraryName];
        header.RefLibs.clear(); // a library references no libraries
    } else {
        header.Debug = m_checked[kDebug] ? 1 : 0;
        header.Source = m_checked[kSource] ? 1 : 0;
        header.Library.clear();
    }
}

} // namespace rux
