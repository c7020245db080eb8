// The text file of one template: an optional "Shortcut=" line, then the body between "tpl_begin" and
// "tpl_end".
#pragma once

#include <string>
#include <string_view>

namespace rux {

struct CTemplateText {
    std::string shortcut; // key text, empty for none
    std::string body;     // the lines joined with CR LF
};

// Lines end at LF, a CR before it is dropped. Before "tpl_begin" only a line starting "Shortcut"
// counts (the text after its first "="; a later one replaces an earlier one); every line after it up
// to one starting "tpl_end" (or to the end of the file) is the body. No "tpl_begin": an empty body.
CTemplateText ParseTemplateFile(std::string_view bytes);

// "Shortcut=<key>\n", "tpl_begin\n", the body, "\n", "tpl_end": the form a template is saved in.
std::string FormatTemplateFile(const CTemplateText& text);

} // namespace rux
