// The program document: a program with its file, its states and the questions other parts ask of it.
#pragma once

#include "document/document_observer.h"
#include "document/program.h"

#include <string>
#include <vector>

namespace rux {

class CRUXDocument : public CProgram {
public:
    CRUXDocument() = default;

    const std::string& GetPathName() const { return m_path; }
    void SetPathName(std::string path) { m_path = std::move(path); }

    bool IsModified() const { return m_modified; }
    // Tells the observers when the state flips, since the title shows it.
    void SetModified(bool modified);
    bool IsReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }

    void AddObserver(CDocumentObserver* observer);
    void RemoveObserver(CDocumentObserver* observer);
    // Sends one update to every observer but `sender`.
    void UpdateAllViews(int hint, const CDocumentChange* change = nullptr, CDocumentObserver* sender = nullptr);

    // Rebuilds the identifier set after the program's content changed. Runs after every edit.
    void Reanalyse();

private:
    std::string m_path;
    bool m_modified = false;
    bool m_readOnly = false;
    std::vector<CDocumentObserver*> m_observers;
};

} // namespace rux
