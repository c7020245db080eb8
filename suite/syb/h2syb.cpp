// The symbol library: symbol files and the node database of a program directory.
#include "h2syb.h"
#include "ini/ini_lines.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct SymbolInfo {
    uint32_t address = 0;
    uint16_t type = 0;
    uint16_t bit = 0;
    uint32_t elements = 1;
};

using SymbolTable = std::map<std::string, SymbolInfo>;

struct State {
    std::mutex mutex;
    bool open = false;
    std::string directory;
    std::map<std::string, SymbolTable> programs; // file stem -> symbols, in name order
    std::map<std::string, std::string> nodes;    // lower-case label -> program
};

State& state() {
    static State s;
    return s;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    const std::size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    const std::size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool ParseUnsigned(const std::string& s, uint64_t& v) {
    if (s.empty() || s.size() > 10) return false;
    v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    return v <= 0xFFFFFFFFull;
}

SymbolTable ParseSymbols(const std::string& text) {
    SymbolTable table;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::vector<std::string> fields;
        std::string cur;
        for (std::size_t i = at; i < end; ++i) {
            const char c = text[i];
            if (c == ' ' || c == '\t' || c == '\r') {
                if (!cur.empty()) fields.push_back(cur);
                cur.clear();
            } else {
                cur += c;
            }
        }
        if (!cur.empty()) fields.push_back(cur);
        at = end + 1;
        uint64_t address, type, bit = 0, elements = 1;
        if (fields.size() < 3 || !ParseUnsigned(fields[1], address) || !ParseUnsigned(fields[2], type)) continue;
        if (fields.size() > 3 && !ParseUnsigned(fields[3], bit)) continue;
        if (fields.size() > 4 && (!ParseUnsigned(fields[4], elements) || elements == 0)) continue;
        if (type > 0xFFFF || bit > 1) continue;
        table[fields[0]] = {static_cast<uint32_t>(address), static_cast<uint16_t>(type), static_cast<uint16_t>(bit),
                            static_cast<uint32_t>(elements)};
    }
    return table;
}

// "#1.21", "#INT1.21", "#[INT]1.21", "#1.21.3", "B2#1.21" (any case).
bool ParameterSymbol(std::string s, H2SYBOBJADDR& record) {
    s = Lower(s);
    if (s.rfind("b2#", 0) == 0) s.erase(0, 2);
    if (s.empty() || s[0] != '#') return false;
    s.erase(0, 1);
    bool raw = false;
    if (s.rfind("[int]", 0) == 0) {
        raw = true;
        s.erase(0, 5);
    } else if (s.rfind("int", 0) == 0) {
        raw = true;
        s.erase(0, 3);
    }
    uint64_t parts[3] = {0, 0, 0};
    int n = 0;
    std::size_t i = 0;
    while (n < 3) {
        const std::size_t dot = s.find('.', i);
        const std::string piece = s.substr(i, dot == std::string::npos ? std::string::npos : dot - i);
        if (!ParseUnsigned(piece, parts[n])) return false;
        ++n;
        if (dot == std::string::npos) break;
        i = dot + 1;
    }
    if (n < 2 || (n == 3 && s.find('.', i) != std::string::npos)) return false;
    if (parts[0] > 99 || parts[1] > 99 || (n == 3 && (parts[2] > 31 || raw))) return false;
    record.Address = H2SYB_PARAMETER | static_cast<uint32_t>(parts[0] << 16) | static_cast<uint32_t>(parts[1] << 8) |
                     static_cast<uint32_t>(n == 3 ? parts[2] : 0);
    record.Type = (raw || n == 3) ? H2SYB_TYPE_INTEGER : H2SYB_TYPE_REAL;
    record.Bit = n == 3 ? 1 : 0;
    return true;
}

bool Find(const SymbolTable& table, const std::string& symbol, H2SYBOBJADDR& record) {
    std::string name = symbol;
    uint64_t element = 0;
    bool indexed = false;
    const std::size_t open = symbol.find('[');
    if (open != std::string::npos) {
        if (symbol.back() != ']' || !ParseUnsigned(symbol.substr(open + 1, symbol.size() - open - 2), element)) return false;
        name = symbol.substr(0, open);
        indexed = true;
    }
    const auto it = table.find(name);
    if (it == table.end()) return false;
    if (indexed && element >= it->second.elements) return false;
    record.Address = it->second.address + static_cast<uint32_t>(element);
    record.Type = it->second.type;
    record.Bit = it->second.bit;
    return true;
}

} // namespace

H2_API int32_t H2SYB_Open(const char* directory) try {
    State& s = state();
    const std::lock_guard lock(s.mutex);
    s.open = false;
    s.programs.clear();
    s.nodes.clear();
    s.directory = directory && *directory ? directory : ".";
    DIR* dir = opendir(s.directory.c_str());
    if (!dir) return 0;
    std::vector<std::string> names;
    while (const dirent* e = readdir(dir)) {
        const std::string n = e->d_name;
        if (n.size() > 4 && Lower(n.substr(n.size() - 4)) == ".sym") names.push_back(n);
    }
    closedir(dir);
    for (const std::string& n : names) {
        std::string text;
        if (ReadFile(s.directory + "/" + n, text)) s.programs[n.substr(0, n.size() - 4)] = ParseSymbols(text);
    }
    s.open = true;
    return 1;
} catch (...) {
    return 0;
}

H2_API int32_t H2SYB_LoadScript(const char* script) try {
    State& s = state();
    const std::lock_guard lock(s.mutex);
    s.nodes.clear();
    if (!s.open || !script || !*script) return 0;
    std::string text;
    const std::string name = script;
    const std::string candidates[] = {name, Lower(name), [&] {
                                          std::string u = name;
                                          for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                                          return u;
                                      }()};
    bool found = false, readable = false;
    for (const std::string& c : candidates) {
        const std::string path = c.find('/') == std::string::npos ? s.directory + "/" + c : c;
        std::ifstream probe(path);
        if (!probe.good()) continue;
        found = true;
        readable = ReadFile(path, text);
        break;
    }
    if (!found) return 1; // no database: every node runs the programs of the directory
    if (!readable) return 0;
    // Profile-file lines whose sections do not matter: every label=program line counts, the first
    // one of a label wins.
    rux::ini::CLineReader reader(text);
    rux::ini::CLine line;
    while (reader.Next(line)) {
        if (line.kind != rux::ini::ELineKind::Key) continue;
        const std::string label = Lower(std::string(line.name));
        if (!label.empty() && !s.nodes.count(label)) s.nodes[label] = std::string(line.value);
    }
    return 1;
} catch (...) {
    return 0;
}

H2_API int32_t H2SYB_GetObjAddr(const char* symbol, const char* node, H2SYBOBJADDR* record) try {
    if (!symbol || !*symbol || !record) return 0;
    State& s = state();
    const std::lock_guard lock(s.mutex);
    H2SYBOBJADDR found{};
    if (ParameterSymbol(symbol, found)) {
        *record = found;
        return 1;
    }
    if (!s.open) return 0;
    if (node) {
        const auto it = s.nodes.find(Lower(Trim(node)));
        if (it != s.nodes.end()) {
            for (const auto& [program, table] : s.programs)
                if (Lower(program) == Lower(it->second)) {
                    if (!Find(table, symbol, found)) return 0;
                    *record = found;
                    return 1;
                }
            return 0;
        }
    }
    for (const auto& [program, table] : s.programs)
        if (Find(table, symbol, found)) {
            *record = found;
            return 1;
        }
    return 0;
} catch (...) {
    return 0;
}
