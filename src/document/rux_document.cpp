#include "document/rux_document.h"

#include "document/code_page.h"
#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/item.h"
#include "document/line_input.h"
#include "document/lng_document.h"
#include "document/message_sink.h"
#include "document/node_properties_form.h"
#include "document/program_file.h"
#include "document/program_paths.h"
#include "document/string_table.h"
#include "target/group_mgr.h"
#include "target/suite_notifier.h"
#include "target/target_library.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace rux {
namespace {

// The first "Diagram N" no diagram of the list is called yet.
std::string FirstFreeDiagramTitle(const CObArrayEx& items) {
    std::vector<const std::string*> titles;
    for (const auto& item : items)
        if (item->GetType() == kItemDiag) titles.push_back(&static_cast<const CDiag&>(*item).GetTitle());
    return FreeDiagramTitle(titles);
}

} // namespace

CRUXDocument::~CRUXDocument() {
    // Diagram documents outliving the program must not reach back into it.
    const std::vector<CLngDocument*> documents = m_diagramDocuments;
    for (CLngDocument* document : documents)
        document->Unbind();
}

void CRUXDocument::SetPathName(std::string path) {
    m_path = std::move(path);
    SetTitle();
}

bool CRUXDocument::OpenDocument(const std::string& path) {
    m_openError.clear();
    {
        // Folders, FIFOs and devices are refused before anyone reads from them.
        CStrStdioFile probe;
        if (!probe.Open(path)) {
            m_openError = probe.Problem();
            return false;
        }
    }
    CTargetLibrary* target = m_services.target;
    if (target && target->IsValidHalmLiteFile(path) == 1) {
        if (m_services.messages)
            m_services.messages->ShowMessage(kStrLightEditionFile, LoadString(kStrLightEditionFile));
        return false;
    }
    CProgramFileServices fileServices;
    fileServices.target = target;
    fileServices.notifier = m_services.notifier;
    // Read aside and finished there, so that the views never see a half-read program; a file
    // that cannot be read leaves the document as it was.
    CProgram loaded;
    if (!Load(loaded, path, fileServices, &m_openError)) return false;
    // One at a time, so each new title sees the ones handed out before it.
    CObArrayEx& items = loaded.Items();
    for (int i = 0; i < items.GetSize(); ++i)
        if (items.GetAt(i)->GetType() == kItemDiag) {
            auto& diagram = static_cast<CDiag&>(*items.MutableAt(i));
            if (diagram.GetTitle().empty()) diagram.SetTitle(FirstFreeDiagramTitle(items));
        }
    m_path = path;
    m_modified = false;
    m_supportsLibraries = target && loaded.GetHeader() &&
                          target->GetLibrarySupport(loaded.GetHeader()->Header().Type) > 0;
    AdoptProgram(std::move(loaded));
    return true;
}

void CRUXDocument::AdoptProgram(CProgram&& program) {
    if (InTransaction()) throw std::logic_error("a program is adopted outside a transaction");
    // Their items go with the old program.
    const std::vector<CLngDocument*> documents = m_diagramDocuments;
    for (CLngDocument* document : documents)
        document->Unbind();
    m_program = std::move(program);
    m_identifiers.Clear();
    m_identifiersPending = true; // scanned when first asked for
    RebuildReferencedLibraries();
    SetTitle();
    UpdateAllViews(kHintAll);
}

bool CRUXDocument::SaveDocument() {
    m_saveError.clear();
    if (!m_modified) return true;
    CProgramFileServices fileServices;
    fileServices.target = m_services.target;
    fileServices.notifier = m_services.notifier;
    fileServices.writeBackDiagrams = [this] {
        const std::vector<CLngDocument*> documents = m_diagramDocuments;
        for (CLngDocument* document : documents)
            document->SaveDocument();
    };
    if (CWriteResult result = SaveProgramFile(m_program, m_path, fileServices); !result) {
        m_saveError = result.reason;
        return false;
    }
    if (m_services.saved) m_services.saved(m_path);
    SetModified(false);
    return true;
}

void CRUXDocument::CloseDocument() {
    // Over a copy: closing a diagram document takes it out of the list.
    const std::vector<CLngDocument*> documents = m_diagramDocuments;
    for (CLngDocument* document : documents)
        document->OnCloseDocument();
}

void CRUXDocument::SetModified(bool modified) {
    if (m_modified == modified) return;
    m_modified = modified;
    SetTitle();
}

std::string CRUXDocument::ComposeTitle(bool display) const {
    // The file name is never converted: on the screen it is already UTF-8, in the bytes it is as given.
    const auto text = [display](std::string_view bytes) {
        return display ? Cp1252ToUtf8(bytes) : std::string(bytes);
    };
    const std::string fileName = FileNameOf(m_path);
    std::string title;
    const CPar* header = GetHeader();
    if (header && !header->Header().Library.empty()) {
        title = text(LoadString(kStrLibraryTitle));
        // %2 is filled first so that a library named "%2" cannot pull in the file name.
        if (const size_t at = title.find("%2"); at != std::string::npos) title.replace(at, 2, fileName);
        if (const size_t at = title.find("%1"); at != std::string::npos)
            title.replace(at, 2, text(header->Header().Library));
    } else {
        title = fileName;
        if (header && !header->Header().Title.empty()) title += " (" + text(header->Header().Title) + ")";
        if (m_services.groups && !m_path.empty() && m_services.groups->IsFileInGroup(m_path)) {
            const std::string group = m_services.groups->GetFileGroup(m_path);
            if (!group.empty()) title += " - [" + text(group) + "]";
        }
    }
    if (m_modified) title += " *";
    return title;
}

void CRUXDocument::SetTitle(const std::string&) {
    m_title = ComposeTitle();
    for (CLngDocument* document : m_diagramDocuments)
        document->UpdateTitle();
    UpdateAllViews(kHintTitle);
}

void CRUXDocument::AddObserver(CDocumentObserver* observer) {
    if (observer && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void CRUXDocument::RemoveObserver(CDocumentObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

void CRUXDocument::UpdateAllViews(int hint, const CDocumentChange* change, CDocumentObserver* sender) {
    // Over a copy: an observer may detach itself while being told.
    const std::vector<CDocumentObserver*> observers = m_observers;
    for (CDocumentObserver* observer : observers)
        if (observer != sender) observer->OnUpdate(*this, hint, change);
}

void CRUXDocument::Reanalyse() {
    // The function block map of the block selection dialogs is rebuilt by the library code when the
    // dialogs ask for it; the identifier set is all the colouring needs after an edit.
    if (m_identifiersPending) return;
    m_identifiers.Update(Items());
}

const CIdentifierSet& CRUXDocument::Identifiers() const {
    if (m_identifiersPending) {
        m_identifiers.Update(Items());
        m_identifiersPending = false;
    }
    return m_identifiers;
}

void CRUXDocument::Reanalyse(const CDocumentChange& change) {
    if (m_identifiersPending) return;
    if (change.sections)
        Reanalyse();
    else
        m_identifiers.UpdateRange(Items(), change.first, change.last, change.inserted - change.removed);
}

std::string CRUXDocument::GetLibrary() const {
    const CPar* header = GetHeader();
    return header ? header->Header().Library : std::string();
}

std::string CRUXDocument::GetTarget() const {
    const CPar* header = GetHeader();
    return header ? header->Header().Target : std::string();
}

std::string CRUXDocument::GetType() const {
    const CPar* header = GetHeader();
    return header ? header->Header().Type : std::string();
}

void CRUXDocument::RebuildReferencedLibraries() {
    m_referencedLibraries.clear();
    const CPar* header = GetHeader();
    if (!header || !header->Header().Library.empty()) return;
    const std::string& refs = header->Header().RefLibs;
    size_t start = 0;
    while (start <= refs.size()) {
        size_t end = refs.find(';', start);
        if (end == std::string::npos) end = refs.size();
        if (end > start)
            m_referencedLibraries.insert(m_referencedLibraries.begin(), refs.substr(start, end - start));
        start = end + 1;
    }
}

CPar* CRUXDocument::MutableHeader() {
    return GetHeader() ? static_cast<CPar*>(m_program.Items().MutableAt(0)) : nullptr;
}

void CRUXDocument::PushHeader() {
    const CPar* header = GetHeader();
    if (!header) return;
    if (m_services.target) m_services.target->UpdateHeader(m_path, header->Header());
    if (m_services.notifier) m_services.notifier->Notify(kSuiteMainTool, kMsgHeaderChanged, m_path);
    RebuildReferencedLibraries();
    SetTitle();
    // The header row repaints and the tree entry (title, node name) is rebuilt.
    const CDocumentChange change{0, 1, 1, 0};
    UpdateAllViews(kHintStructure, &change);
}

void CRUXDocument::SetDescription(const std::string& text) {
    if (!GetHeader()) return;
    // The description lives in the file too, so the change modifies the document.
    ModifyItem(0, [&](CItem& item) {
        std::string& descriptor = static_cast<CPar&>(item).Header().Descriptor;
        if (descriptor == text) return false;
        descriptor = text;
        return true;
    });
    PushHeader();
}

void CRUXDocument::AcceptNodeProperties(const CNodePropertiesForm& form,
                                        const RecordActionHook& recordAction) {
    CPar* header = MutableHeader();
    if (form.IsReadOnly() || !header) return;
    BeginTransaction();
    if (recordAction) recordAction(0, 1);
    ModifyItem(0, [&](CItem&) {
        const CRuxHeader before = header->Header();
        form.WriteBack(header->Header());
        return !(header->Header() == before);
    });
    EndTransaction();
    PushHeader();
}

bool CRUXDocument::AddReferencedLibrary(const std::string& name, const RecordActionHook& recordAction) {
    CPar* header = MutableHeader();
    if (!header || name.empty()) return false;
    BeginTransaction();
    if (recordAction) recordAction(0, 1);
    ModifyItem(0, [&](CItem&) {
        std::string& refs = header->Header().RefLibs;
        if (!refs.empty() && refs.back() != ';') refs += ';';
        refs += name;
        return true;
    });
    EndTransaction();
    PushHeader();
    return true;
}

std::string CRUXDocument::GetBinaryPath() const {
    return ReplaceExtension(m_path, ".bin");
}
std::string CRUXDocument::GetSymbolPath() const {
    return ReplaceExtension(m_path, ".sym");
}
std::string CRUXDocument::GetNodeLabel() const {
    return m_path.empty() ? std::string() : ReadNodeLabel(m_path);
}

std::string CRUXDocument::NewDiagramTitle() const {
    return FirstFreeDiagramTitle(Items());
}

void CRUXDocument::AddDiagramDocument(CLngDocument* document) {
    if (document &&
        std::find(m_diagramDocuments.begin(), m_diagramDocuments.end(), document) == m_diagramDocuments.end())
        m_diagramDocuments.push_back(document);
}

void CRUXDocument::RemoveDiagramDocument(CLngDocument* document) {
    std::erase(m_diagramDocuments, document);
}

void CRUXDocument::SetDebugMode(bool on) {
    if (m_services.trace) {
        char line[64];
        std::snprintf(line, sizeof line, "RUX DOC SetDebugMode %d", on ? 1 : 0);
        m_services.trace(line);
    }
    m_debugMode = on;
    if (on) m_symbols = ReadSymbolFile(GetSymbolPath());
    for (CLngDocument* document : m_diagramDocuments)
        document->SetDebugMode(on);
}

} // namespace rux
