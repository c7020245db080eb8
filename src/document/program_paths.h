// Files that lie beside a program: compiled image, symbol file, node database; and what they hold.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rux {

// The program path with its extension replaced ("prog.rux" -> "prog.bin"); a path without an
// extension gets one. Empty for an empty path.
std::string ReplaceExtension(const std::string& path, std::string_view extension);
// The last component of a path.
std::string FileNameOf(const std::string& path);
// The last component without its extension.
std::string FileStemOf(const std::string& path);
// The folder of a path; "." for a bare file name.
std::string FolderOf(const std::string& path);
// The path a document is opened under, as the editor opens it: absolute, with "." and ".." and
// symbolic links resolved as far as they exist. The path as given when that fails.
std::string DocumentPathOf(const std::string& path);

// The names of a symbol file: of each line what stands before the first blank, trailing blanks
// trimmed; empty results dropped.
std::vector<std::string> ParseSymbolFile(std::string_view text);
std::vector<std::string> ReadSymbolFile(const std::string& path);

// The label of the first "label=value" line whose value equals programName without regard to case.
std::string ParseNodeLabel(std::string_view text, std::string_view programName);

// The suite's path service: a program's project folder is its own folder, its name in the node
// database is its file name without extension.
std::string ProjectFolderOf(const std::string& programPath);
std::string NodeDatabaseName(const std::string& programPath);
// "halm2.nad" in the project folder; empty when there is none.
std::string NodeDatabasePath(const std::string& programPath);
std::string ReadNodeLabel(const std::string& programPath);

} // namespace rux
