#include "app/doc_template.h"

#include "document/program_paths.h"

#include <QStringList>

#include <algorithm>

namespace rux {

QString CMultiDocTemplateEx::DocString(int part) const {
    const QStringList parts = QString::fromLatin1(m_docString).split('\n');
    return part >= 0 && part < parts.size() ? parts[part] : QString();
}

CRUXDocument* CMultiDocTemplateEx::FindDocument(const std::string& path) const {
    // Paths compare by the file they name, so "./a.rux" and "/home/ann/a.rux" find one document.
    const std::string wanted = DocumentPathOf(path);
    for (const auto& document : m_documents)
        if (DocumentPathOf(document->GetPathName()) == wanted) return document.get();
    return nullptr;
}

CRUXDocument* CMultiDocTemplateEx::OpenDocumentFile(const std::string& path, const CDocumentServices& services,
                                                    bool readOnly, std::string* why) {
    auto document = std::make_unique<CRUXDocument>(services);
    if (!document->OpenDocument(DocumentPathOf(path))) {
        if (why) *why = document->OpenError();
        return nullptr;
    }
    if (readOnly) document->SetReadOnly(true);
    m_documents.push_back(std::move(document));
    return m_documents.back().get();
}

void CMultiDocTemplateEx::CloseDocument(CRUXDocument& document) {
    document.CloseDocument();
    m_documents.erase(std::remove_if(m_documents.begin(), m_documents.end(),
                                     [&](const auto& d) { return d.get() == &document; }),
                      m_documents.end());
}

} // namespace rux
