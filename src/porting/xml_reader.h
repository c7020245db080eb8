// A thin reader over an XML DOM: just enough to walk the porting catalogues.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace rux {

// A handle on one node of the loaded document; a null handle stands for "no node".
class CXMLNode {
public:
    CXMLNode() = default;
    bool IsNull() const { return m_node == nullptr; }
    explicit operator bool() const { return m_node != nullptr; }

private:
    friend class CXMLReader;
    explicit CXMLNode(void* node) : m_node(node) {}
    void* m_node = nullptr;
};

// Owns one parsed document. Handles stay valid until the next Load or the reader's destruction.
class CXMLReader {
public:
    CXMLReader();
    ~CXMLReader();
    CXMLReader(const CXMLReader&) = delete;
    CXMLReader& operator=(const CXMLReader&) = delete;

    // False when the file cannot be read or is not well-formed XML.
    bool Load(const std::string& path);
    bool LoadBuffer(const void* data, size_t size);

    CXMLNode DocumentElement() const;
    // Empty for anything that is not an element.
    std::string ElementName(CXMLNode node) const;
    CXMLNode FirstChild(CXMLNode node) const;
    CXMLNode NextSibling(CXMLNode node) const;
    // The attribute's text; empty when the node has no such attribute.
    std::string AttributeText(CXMLNode node, const char* name) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace rux
