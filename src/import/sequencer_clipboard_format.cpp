#include "import/sequencer_clipboard_format.h"

#include "document/line_item.h"
#include "document/section_items.h"
#include "import/sequencer_checksum.h"
#include "import/utf16_text.h"

#include <pugixml.hpp>

namespace rux {
namespace {

// The first child node of that type; its text, or empty.
std::string FirstChildText(const pugi::xml_node& element, pugi::xml_node_type type) {
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling())
        if (child.type() == type) return child.value();
    return {};
}

} // namespace

void CSequencerClipboardFormat::Read(CSequencerSource& source) {
    m_blocks.clear();
    if (const std::optional<std::u16string> text = source.GetSequencerText()) ReadPayload(*text);
}

void CSequencerClipboardFormat::ReadPayload(std::u16string_view text) {
    m_blocks.clear();
    // The clipboard text ends at its terminating zero.
    if (const size_t zero = text.find(u'\0'); zero != std::u16string_view::npos) text = text.substr(0, zero);
    if (text.empty()) return;
    const std::string bytes = Utf16ToCp1252(text);
    // The bytes are the program's code page already: parse them as they are, whatever the
    // declaration says, and keep bytes above 127 untouched.
    pugi::xml_document document;
    const unsigned options = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_eol;
    if (!document.load_buffer(bytes.data(), bytes.size(), options, pugi::encoding_utf8)) return;
    const pugi::xml_node root = document.document_element();
    for (pugi::xml_node element = root.first_child(); element; element = element.next_sibling()) {
        if (element.type() != pugi::node_element) continue;
        const std::string key = element.name();
        // Only the version is plain text; every block travels in a CDATA section. A key given
        // twice keeps its last text, as a map that is set key by key does.
        m_blocks[key] = FirstChildText(element, key == "Version" ? pugi::node_pcdata : pugi::node_cdata);
    }
}

std::string CSequencerClipboardFormat::Value(const std::string& key) const {
    const auto it = m_blocks.find(key);
    return it == m_blocks.end() ? std::string() : it->second;
}

bool CSequencerClipboardFormat::BlockLines(const std::string& key, std::vector<std::string>& lines) const {
    const std::string text = Value(key);
    if (text.empty()) return false;
    const std::string checksum = ChecksumLine(text);
    lines.push_back("// Please do not modify code within in this secion");
    lines.push_back(checksum);
    // Only line feeds end lines: a carriage return stays in its line, as the checksum saw it.
    size_t start = 0;
    while (true) {
        const size_t feed = text.find('\n', start);
        if (feed == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, feed - start));
        start = feed + 1;
    }
    lines.push_back(checksum);
    return true;
}

CSequencerClipboardFormat::ItemList LinesToItems(const std::vector<std::string>& lines) {
    CSequencerClipboardFormat::ItemList items;
    items.reserve(lines.size());
    for (const std::string& line : lines)
        items.push_back(std::make_unique<CLine>(line));
    return items;
}

void CSequencerClipboardFormat::Wrap(const std::string& key, ItemList& items) {
    ItemList wrapped;
    wrapped.reserve(items.size() + 4);
    wrapped.push_back(std::make_unique<CLine>());
    wrapped.push_back(std::make_unique<CLine>(StartMarker(key)));
    for (auto& item : items)
        wrapped.push_back(std::move(item));
    wrapped.push_back(std::make_unique<CLine>(EndMarker(key)));
    wrapped.push_back(std::make_unique<CLine>());
    items = std::move(wrapped);
}

void CSequencerClipboardFormat::Routine(const std::string& title, ItemList& items, uint32_t& sectionCounter,
                                        bool functionBlock) {
    auto header = std::make_unique<CSectionHeader>(title);
    header->SetId(sectionCounter++);
    header->SetExpanded(true);
    CSectionHeader* h = header.get();
    ItemList section;
    section.reserve(items.size() + 4);
    section.push_back(std::move(header));
    if (functionBlock) {
        section.push_back(std::make_unique<CLine>());
        section.push_back(std::make_unique<CLine>("FBbody"));
    }
    for (auto& item : items)
        section.push_back(std::move(item));
    section.push_back(std::make_unique<CSectionFooter>(h->GetText()));
    for (size_t i = 1; i < section.size(); ++i)
        section[i]->SetSection(h);
    items = std::move(section);
}

} // namespace rux
