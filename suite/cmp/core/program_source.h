// A program file as the compiler takes it: the kind and text of every item and the header, read
// by the core's program reader with exactly the rules the editor opens a file by, but without
// building a document. The texts lie in a few large blocks instead of one string per line.
#pragma once

#include "core/compiler.h"
#include "document/header_record.h"

#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rux::cmp {

// The bytes a program's items point into. Nothing kept here ever moves.
class SourceTexts {
public:
    std::string_view Keep(std::string_view text) {
        if (text.empty() || text.size() > m_left)
            return KeepInNewBlock(text);
        std::memcpy(m_free, text.data(), text.size());
        const std::string_view kept(m_free, text.size());
        m_free += text.size();
        m_left -= text.size();
        return kept;
    }
    // A string kept whole: a diagram's payload or title.
    const std::string& KeepString(std::string&& text);

private:
    std::string_view KeepInNewBlock(std::string_view text);

    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_free = nullptr;
    std::size_t m_left = 0;
    std::deque<std::string> m_strings;
};

struct ProgramSource {
    bool format = false;              // a program file; false for an older plain-text program
    bool v3Fired = false;             // a "$V3" line was turned into a comment
    std::optional<CRuxHeader> header; // when item 0 is the header, as the document's GetHeader
    std::vector<SourceItem> items;    // item index = the editor's line number
    std::shared_ptr<SourceTexts> texts = std::make_shared<SourceTexts>();
};

// False, with errno and (when given) problem set, when the file cannot be opened, is not a regular
// file or fails part-way; the source is then empty.
bool ReadProgramSource(const std::string& path, ProgramSource& source, std::string* problem = nullptr);

// The same from memory, as ProgramFromText reads it into a document.
ProgramSource ProgramSourceFromText(std::string_view text);

} // namespace rux::cmp
