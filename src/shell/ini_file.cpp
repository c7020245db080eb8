#include "shell/ini_file.h"

#include "document/ascii_text.h"

#include "fileio/safe_file.h"
#include "ini/ini_lines.h"
#include "shell/product_paths.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace rux {

namespace {

// What a scan of the text found for one section and key. Offsets index the scanned text.
struct ScanResult {
    bool keyFound = false;
    std::size_t lineBegin = 0; // the matching key line, without its line end
    std::size_t lineEnd = 0;
    bool sectionFound = false;
    std::size_t insertAt = 0;      // just after the last key line (or header) of the first matching section
    bool insertNeedsBreak = false; // that line is the last one and has no line end
};

// Lines are split and classified by the grammar every profile file of the product shares (ruxini).
// Duplicate sections are not merged: a key is looked for in every section of the name in file order
// and the first hit wins, while new keys go into the first section of the name.
ScanResult Scan(std::string_view text, std::string_view section, std::string_view key) {
    ScanResult r;
    bool inFirstSection = false;
    ini::CLineReader reader(text);
    ini::CLine line;
    while (reader.Next(line)) {
        if (line.kind == ini::ELineKind::Section || line.kind == ini::ELineKind::BrokenSection) {
            inFirstSection = line.kind == ini::ELineKind::Section && !r.sectionFound &&
                             ini::EqualNoCase(line.name, section);
            if (inFirstSection) r.sectionFound = true;
        }
        if (line.kind == ini::ELineKind::Key && !line.inSection) continue;
        if (inFirstSection && line.kind != ini::ELineKind::Blank && line.kind != ini::ELineKind::Comment &&
            line.kind != ini::ELineKind::Other) {
            r.insertAt = line.next;
            r.insertNeedsBreak = !line.hasBreak;
        }
        if (line.kind == ini::ELineKind::Key && ini::EqualNoCase(line.section, section) &&
            ini::EqualNoCase(line.name, key)) {
            r.keyFound = true;
            r.lineBegin = line.begin;
            r.lineEnd = line.end;
            return r;
        }
    }
    return r;
}

// New lines follow the file's own convention; a new file gets plain LF.
std::string_view LineEnd(std::string_view text) {
    std::size_t nl = text.find('\n');
    return (nl != std::string_view::npos && nl > 0 && text[nl - 1] == '\r') ? "\r\n" : "\n";
}

bool ValidName(std::string_view name, char forbidden) {
    name = TrimBlanks(name);
    if (name.empty() || name.front() == ';' || name.front() == '[') return false;
    for (char c : name)
        if (c == '\n' || c == '\r' || c == forbidden) return false;
    return true;
}

} // namespace

CIniFile::CIniFile(std::string path) : m_path(std::move(path)) {}

CIniFile CIniFile::FromText(std::string text) {
    CIniFile ini;
    ini.m_text = std::move(text);
    ini.m_inMemory = true;
    return ini;
}

CIniFile CIniFile::ProductSettings() {
    return CIniFile(CProductPaths::SettingsFile());
}

bool CIniFile::Load(std::string& text) const {
    if (m_inMemory) {
        text = m_text;
        return true;
    }
    text.clear();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(m_path, ec)) return false;
    std::ifstream in(m_path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool CIniFile::Store(const std::string& text) {
    if (m_inMemory) {
        m_text = text;
        return true;
    }
    return WriteFileSafely(m_path, text).ok;
}

std::string CIniFile::Text() const {
    std::string text;
    Load(text);
    return text;
}

std::optional<std::string> CIniFile::Find(std::string_view section, std::string_view key) const {
    std::string text;
    if (!Load(text)) return std::nullopt;
    const std::optional<std::string_view> value = ini::FindValue(text, TrimBlanks(section), TrimBlanks(key));
    if (!value || value->empty()) return std::nullopt;
    return std::string(*value);
}

std::string CIniFile::GetString(std::string_view section, std::string_view key, std::string_view def) const {
    std::optional<std::string> value = Find(section, key);
    std::string out = value ? std::move(*value) : std::string(def);
    if (out.size() > kMaxValue - 1) out.resize(kMaxValue - 1);
    return out;
}

int CIniFile::GetInt(std::string_view section, std::string_view key, int def) const {
    std::optional<std::string> value = Find(section, key);
    return value ? ParseInt(*value) : def;
}

bool CIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    if (!ValidName(section, ']') || !ValidName(key, '=')) return false;
    // A line break inside a value would split it into lines of its own.
    std::string clean(TrimBlanks(value));
    for (char& c : clean)
        if (c == '\n' || c == '\r') c = ' ';

    std::string text;
    Load(text);
    std::string_view eol = LineEnd(text);
    ScanResult r = Scan(text, section, key);
    if (r.keyFound) {
        // Keep the key as the file spells it; only the value changes.
        std::string_view line(text.data() + r.lineBegin, r.lineEnd - r.lineBegin);
        std::size_t eq = line.find('=');
        std::string replacement(line.substr(0, eq + 1));
        replacement += clean;
        text.replace(r.lineBegin, r.lineEnd - r.lineBegin, replacement);
    } else if (r.sectionFound) {
        std::string insert;
        if (r.insertNeedsBreak) insert += eol;
        insert.append(key).append("=").append(clean).append(eol);
        text.insert(r.insertAt, insert);
    } else {
        if (!text.empty() && text.back() != '\n') text += eol;
        if (!text.empty()) text += eol;
        text.append("[").append(section).append("]").append(eol);
        text.append(key).append("=").append(clean).append(eol);
    }
    return Store(text);
}

bool CIniFile::WriteInt(std::string_view section, std::string_view key, int value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d", value);
    return WriteString(section, key, buf);
}

bool CIniFile::WriteLong(std::string_view section, std::string_view key, long value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%ld", value);
    return WriteString(section, key, buf);
}

int CIniFile::ParseInt(std::string_view text) {
    return ini::ParseInt(text);
}

} // namespace rux
