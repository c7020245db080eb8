#include "porting/xml_reader.h"

#include <pugixml.hpp>

namespace rux {
namespace {

pugi::xml_node NodeOf(void* handle) {
    return pugi::xml_node(static_cast<pugi::xml_node_struct*>(handle));
}

} // namespace

struct CXMLReader::Impl {
    pugi::xml_document document;
    bool loaded = false;
};

CXMLReader::CXMLReader() : m_impl(std::make_unique<Impl>()) {}
CXMLReader::~CXMLReader() = default;

bool CXMLReader::Load(const std::string& path) {
    m_impl->document.reset();
    m_impl->loaded = static_cast<bool>(m_impl->document.load_file(path.c_str()));
    return m_impl->loaded;
}

bool CXMLReader::LoadBuffer(const void* data, size_t size) {
    m_impl->document.reset();
    m_impl->loaded = static_cast<bool>(m_impl->document.load_buffer(data, size));
    return m_impl->loaded;
}

CXMLNode CXMLReader::DocumentElement() const {
    if (!m_impl->loaded) return {};
    return CXMLNode(m_impl->document.document_element().internal_object());
}

std::string CXMLReader::ElementName(CXMLNode node) const {
    const pugi::xml_node n = NodeOf(node.m_node);
    return n.type() == pugi::node_element ? std::string(n.name()) : std::string();
}

CXMLNode CXMLReader::FirstChild(CXMLNode node) const {
    return CXMLNode(NodeOf(node.m_node).first_child().internal_object());
}

CXMLNode CXMLReader::NextSibling(CXMLNode node) const {
    return CXMLNode(NodeOf(node.m_node).next_sibling().internal_object());
}

std::string CXMLReader::AttributeText(CXMLNode node, const char* name) const {
    return NodeOf(node.m_node).attribute(name).value();
}

} // namespace rux
