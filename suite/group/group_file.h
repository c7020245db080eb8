// The groups file: which program files belong to which named group.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace rux::grp {

// Groups in file order; each with its files as absolute, normalised paths.
using CGroups = std::vector<std::pair<std::string, std::vector<std::string>>>;

// $XDG_CONFIG_HOME/rux/groups.txt, or ~/.config/rux/groups.txt.
std::string GroupFilePath();
// A missing file is an empty set.
CGroups ReadGroups(const std::string& path);
bool WriteGroups(const std::string& path, const CGroups& groups);
// Absolute and normalised, links followed where they exist, so two spellings of a file compare equal.
std::string NormalisePath(const std::string& path);

} // namespace rux::grp
