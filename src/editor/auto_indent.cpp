#include "editor/auto_indent.h"

#include "document/item.h"
#include "document/item_list.h"
#include "document/line_item.h"
#include "editor/keyword_table.h"

namespace rux {

int BuiltinIndentRole(std::string_view word) {
    // Roles come only from the built-in keywords, which a keyword file cannot change.
    static const CKeywordTable builtIns = [] {
        CKeywordTable table;
        table.AddBuiltIns();
        return table;
    }();
    return builtIns.GetKeywordIndentRole(word);
}

size_t LeadingBlanks(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    return i;
}

int IndentWidth(std::string_view text, int tabSize) {
    int width = 0;
    for (size_t i = 0; i < text.size() && (text[i] == ' ' || text[i] == '\t'); ++i)
        width += text[i] == '\t' ? tabSize : 1;
    return width;
}

std::string_view FirstWord(std::string_view text) {
    text.remove_prefix(LeadingBlanks(text));
    size_t end = 0;
    while (end < text.size() && !IsWordDelimiter(text[end]))
        ++end;
    return text.substr(0, end);
}

std::string_view LastWord(std::string_view text) {
    size_t end = text.size();
    while (end > 0 && IsWordDelimiter(text[end - 1]))
        --end;
    size_t begin = end;
    while (begin > 0 && !IsWordDelimiter(text[begin - 1]))
        --begin;
    return text.substr(begin, end - begin);
}

std::string Reindent(std::string_view text, int width, int tabSize) {
    if (tabSize < 1)
        tabSize = 1;
    if (width < 0)
        width = 0;
    std::string out(static_cast<size_t>(width / tabSize), '\t');
    out.append(static_cast<size_t>(width % tabSize), ' ');
    out.append(text.substr(LeadingBlanks(text)));
    return out;
}

int MatchingOpenerWidth(const CObArrayEx& items, int index, EOpener kind, int tabSize) {
    int depth = 0;
    for (int i = index; i >= 0 && i < items.GetSize(); --i) {
        const CItem* item = items.GetAt(i);
        const int type = item->GetType();
        if (type == kItemSectionHeader || type == kItemSectionFooter || type == kItemPar)
            return 0;
        if (type != kItemLine)
            continue;
        const std::string_view text = item->GetText();
        const std::string_view first = FirstWord(text);
        if (kind == EOpener::Loop) {
            if (EqualsNoCase(first, "LOOP")) {
                ++depth;
            } else if ((EqualsNoCase(first, "DO") || EqualsNoCase(first, "FOR")) &&
                       !EqualsNoCase(LastWord(text), "LOOP")) {
                if (depth == 0)
                    return IndentWidth(text, tabSize);
                --depth;
            }
        } else {
            if (EqualsNoCase(first, "ENDIF")) {
                ++depth;
            } else if (EqualsNoCase(first, "IF")) {
                if (depth == 0)
                    return IndentWidth(text, tabSize);
                --depth;
            }
        }
    }
    return 0;
}

} // namespace rux
