// Finds the identifiers a program line or a diagram payload contributes to the colouring set.
#pragma once

#include <functional>
#include <string_view>

namespace rux {

using IdentifierSink = std::function<void(std::string_view word)>;

// Words of one text line: stops at ";" or "//", skips quoted text, labels ("word:"), reserved
// words, "$FLT" and a "single"/"double" right after it.
void ScanLineIdentifiers(std::string_view line, const IdentifierSink& sink);

// Variable names of an FBD payload: after each "@VAR:", the rest of the line after the next "X=".
void ScanFbdIdentifiers(std::string_view payload, const IdentifierSink& sink);

} // namespace rux
