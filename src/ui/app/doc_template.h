// The program document template: the document kind the user opens as "*.rux" files, and the open
// documents of that kind.
#pragma once

#include "document/rux_document.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

namespace rux {

class CMultiDocTemplateEx {
public:
    static constexpr int kProgramResource = 129;
    static constexpr const char* kProgramDocString =
        "\nruxprg\nruxprg Document\nruxprg Files (*.rux)\n.rux\nruxprg.Document\nruxprg Document";

    CMultiDocTemplateEx(int resourceId, const char* docString) : m_resourceId(resourceId), m_docString(docString) {}

    int ResourceId() const { return m_resourceId; }
    // The parts of the document string: 0 window title, 1 document name, 2 file-new name, 3 filter
    // name, 4 extension, 5 registry id, 6 registry name.
    QString DocString(int part) const;
    // "ruxprg Files (*.rux)".
    QString FileFilter() const { return DocString(3); }

    const std::vector<std::unique_ptr<CRUXDocument>>& Documents() const { return m_documents; }
    CRUXDocument* FindDocument(const std::string& path) const;
    // Reads the file into a new document; null when it cannot be read.
    // On failure, *why (when given) holds the reason the document found, empty when it has none.
    CRUXDocument* OpenDocumentFile(const std::string& path, const CDocumentServices& services, bool readOnly,
                                   std::string* why = nullptr);
    void CloseDocument(CRUXDocument& document);

private:
    int m_resourceId;
    const char* m_docString;
    std::vector<std::unique_ptr<CRUXDocument>> m_documents;
};

} // namespace rux
