#include "parameters.h"

#include "ini/ini_lines.h"
#include "fileio/whole_file.h"

#include <cctype>
#include <charconv>
#include <sstream>

namespace rux::drive {

namespace {

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

bool ParseInt(const std::string& text, int64_t& v) {
    const std::string t = Trim(text);
    if (t.empty()) return false;
    const char* first = t.data();
    if (*first == '+') ++first;
    const auto r = std::from_chars(first, t.data() + t.size(), v);
    return r.ec == std::errc() && r.ptr == t.data() + t.size();
}

bool ParseMenuParam(const std::string& text, int& menu, int& param) {
    const std::size_t dot = text.find('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 >= text.size() || text.size() - dot - 1 > 2 || dot > 2)
        return false;
    int64_t m = 0, p = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i != dot && !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    if (!ParseInt(text.substr(0, dot), m) || !ParseInt(text.substr(dot + 1), p)) return false;
    menu = static_cast<int>(m);
    param = static_cast<int>(p);
    return CParameterDb::Valid(menu, param);
}

std::vector<std::string> SplitFields(const std::string& s) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (int i = 0; i < 5; ++i) {  // the sixth field, the name, may hold commas
        const std::size_t c = s.find(',', start);
        if (c == std::string::npos) break;
        out.push_back(Trim(s.substr(start, c - start)));
        start = c + 1;
    }
    out.push_back(Trim(s.substr(start)));
    return out;
}

} // namespace

bool ParseParameterName(const std::string& text, int& menu, int& param, bool& rawForm) {
    std::string t = text;
    rawForm = false;
    if (!t.empty() && t[0] == '#') t.erase(0, 1);
    if (t.size() > 3 && (t[0] == 'I' || t[0] == 'i') && (t[1] == 'N' || t[1] == 'n') && (t[2] == 'T' || t[2] == 't')) {
        rawForm = true;
        t.erase(0, 3);
    }
    return ParseMenuParam(t, menu, param);
}

CParameterDb::CParameterDb() : m_params(static_cast<std::size_t>(kMenus * kParams)) {}

int CParameterDb::LoadDefaultsText(const std::string& text) {
    int skipped = 0;
    // A profile-format file ("#" comments too, as in the other hand-edited data files); only lines in
    // [Parameters] count, and each one there that is not a parameter is counted as skipped.
    rux::ini::CLineReader reader(text, {";#", true});
    rux::ini::CLine line;
    while (reader.Next(line)) {
        if (line.kind != rux::ini::ELineKind::Key && line.kind != rux::ini::ELineKind::Other) continue;
        if (!line.inSection || !rux::ini::EqualNoCase(line.section, "Parameters")) continue;
        int menu = 0, param = 0;
        if (line.kind != rux::ini::ELineKind::Key || !ParseMenuParam(std::string(line.name), menu, param)) {
            ++skipped;
            continue;
        }
        // default, minimum, maximum, decimals, rw|ro, name
        const std::vector<std::string> f = SplitFields(std::string(line.value));
        int64_t def = 0, mn = 0, mx = 0, dec = 0;
        if (f.size() != 6 || !ParseInt(f[0], def) || !ParseInt(f[1], mn) || !ParseInt(f[2], mx) || !ParseInt(f[3], dec) ||
            (f[4] != "rw" && f[4] != "ro") || mn < INT32_MIN || mx > INT32_MAX || mn > mx || def < mn || def > mx ||
            dec < 0 || dec > 6) {
            ++skipped;
            continue;
        }
        CParameter& p = At(menu, param);
        p.defaultValue = p.value = static_cast<int32_t>(def);
        p.minimum = static_cast<int32_t>(mn);
        p.maximum = static_cast<int32_t>(mx);
        p.decimals = static_cast<int>(dec);
        p.readOnly = f[4] == "ro";
        p.name = f[5];
    }
    return skipped;
}

bool CParameterDb::LoadDefaults(const std::string& path, int* skipped) {
    const rux::CFileBytes file = rux::ReadWholeFile(path);
    if (!file) return false;
    const int n = LoadDefaultsText(file.bytes);
    if (skipped != nullptr) *skipped = n;
    return true;
}

void CParameterDb::Reset() {
    for (CParameter& p : m_params)
        p.value = p.defaultValue;
}

const CParameter* CParameterDb::Find(int menu, int param) const {
    return Valid(menu, param) ? &At(menu, param) : nullptr;
}

EParamResult CParameterDb::Read(int menu, int param, int32_t& raw) const {
    if (!Valid(menu, param)) return EParamResult::NoSuchParameter;
    raw = At(menu, param).value;
    return EParamResult::Ok;
}

EParamResult CParameterDb::Write(int menu, int param, int32_t raw) {
    if (!Valid(menu, param)) return EParamResult::NoSuchParameter;
    CParameter& p = At(menu, param);
    if (p.readOnly) return EParamResult::ReadOnly;
    if (raw < p.minimum || raw > p.maximum) return EParamResult::OutOfRange;
    p.value = raw;
    return EParamResult::Ok;
}

void CParameterDb::Set(int menu, int param, int32_t raw) {
    if (!Valid(menu, param)) return;
    CParameter& p = At(menu, param);
    p.value = raw < p.minimum ? p.minimum : raw > p.maximum ? p.maximum : raw;
}

int32_t CParameterDb::Get(int menu, int param) const {
    return Valid(menu, param) ? At(menu, param).value : 0;
}

std::string CParameterDb::SaveChanged() const {
    std::string out;
    for (int m = 0; m < kMenus; ++m)
        for (int p = 0; p < kParams; ++p) {
            const CParameter& x = At(m, p);
            if (!x.readOnly && x.value != x.defaultValue)
                out += std::to_string(m) + "." + (p < 10 ? "0" : "") + std::to_string(p) + "=" + std::to_string(x.value) + "\n";
        }
    return out;
}

void CParameterDb::LoadChanged(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t eq = line.find('=');
        int m = 0, p = 0;
        int64_t v = 0;
        if (eq == std::string::npos || !ParseMenuParam(line.substr(0, eq), m, p) || !ParseInt(line.substr(eq + 1), v) ||
            v < INT32_MIN || v > INT32_MAX)
            continue;
        Write(m, p, static_cast<int32_t>(v));  // a saved value outside today's range is dropped
    }
}

} // namespace rux::drive
