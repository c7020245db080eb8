// Where users are sent to look for a newer version of the editor or of the sequencing tool.
#pragma once

namespace rux {

// The one place that names it: the two version messages of the indexer import end with it. It is
// a placeholder product page of ours under a reserved example domain until a real download page
// exists; change it here and nowhere else.
inline constexpr const char* kUpgradeAddress = "https://rux-editor.example.org/upgrades";

} // namespace rux
