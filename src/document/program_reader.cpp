#include "document/program_reader.h"

#include "document/diagram_item.h"
#include "document/header_directives.h"
#include "document/item_sink.h"
#include "document/line_input.h"
#include "document/section_items.h"
#include "target/target_library.h"

#include <cerrno>
#include <cstdio>
#include <limits>

namespace rux {
namespace {

enum class ELineKind { Opening, Closing, EndOfProgram, Text, Plain };

[[gnu::always_inline]] inline ELineKind Classify(std::string_view line) {
    // Text lines are nearly all of a program; they cannot start a block line, so ask first.
    if (!line.empty() && line[0] == ':')
        return ELineKind::Text;
    if (StartsWithNoCase(line, "#info="))
        return ELineKind::Opening;
    if (StartsWithNoCase(line, "#endinfo"))
        return ELineKind::Closing;
    if (StartsWithNoCase(line, "#Metafiles"))
        return ELineKind::EndOfProgram;
    if (!line.empty() && line[0] == ':')
        return ELineKind::Text;
    return ELineKind::Plain;
}

// Lines are read without their LF.

// The block name of an opening line.
std::string_view BlockName(std::string_view line) { return line.substr(6); }

// The text of a ":" line.
std::string_view LineText(std::string_view line) { return line.substr(1); }

constexpr std::string_view kV3Comment = "// $V3 - Now set in Node Properties";

std::string LfToCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

} // namespace

int32_t ParseDecimal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1)
            value = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int32_t>::max())
        value = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

bool CProgramReader::Next() { return m_in.ReadLineView(m_line, m_lf, m_scratch); }

void CProgramReader::ReadPlainText() {
    while (Next())
        m_sink.Text(m_line);
}

CReadResult CProgramReader::ReadTopLevel(EMode mode, const std::vector<std::string>* titles) {
    CReadResult result;
    while (Next()) {
        switch (Classify(m_line)) {
        case ELineKind::EndOfProgram:
            return result;
        case ELineKind::Text: {
            std::string_view text = LineText(m_line);
            if (mode != EMode::Fragment && text.find("$V3") != std::string_view::npos) {
                // The "$V3" directive of older programs becomes a comment (the header flag is then
                // set from the type); any other line holding "$V3" loses its surrounding blanks.
                text = TrimBlanks(text);
                if (text.starts_with("$V3")) {
                    text = kV3Comment;
                    result.v3Fired = true;
                }
            }
            m_sink.Text(text);
            break;
        }
        case ELineKind::Opening: {
            const std::string_view name = BlockName(m_line);
            if (name == "Diagram") {
                CDiagramRecord diagram;
                if (!ReadDiagram(diagram))
                    break;
                if (mode == EMode::Fragment && titles) {
                    auto taken = [&](const std::string& t) {
                        for (const auto& existing : *titles)
                            if (EqualsNoCase(existing, t))
                                return true;
                        return false;
                    };
                    if (taken(diagram.title)) {
                        for (int n = 1;; ++n) {
                            std::string candidate = diagram.title + " (" + std::to_string(n) + ")";
                            if (!taken(candidate)) {
                                diagram.title = std::move(candidate);
                                break;
                            }
                        }
                    }
                }
                m_sink.Diagram(std::move(diagram));
            } else if (name == "Section") {
                ReadSection();
            } else if (name == "Ident") {
                ReadHeaderBlock(mode != EMode::Fragment);
            } else if (mode != EMode::Fragment && name == "BmkRef") {
                ReadIndexBlock(mode == EMode::File ? &result.bookmarks : nullptr);
            } else if (mode != EMode::Fragment && name == "BmkErrRef") {
                ReadIndexBlock(mode == EMode::File ? &result.errorMarks : nullptr);
            }
            break;
        }
        default:
            break;
        }
    }
    return result;
}

std::string CProgramReader::ReadTextBlock() {
    std::string text;
    while (Next()) {
        if (!m_line.empty() && m_line[0] == '}')
            break;
        // The line less its first byte, LF included.
        if (m_line.size() + m_lf >= 2) {
            text.append(m_line.substr(1));
            if (m_lf)
                text.push_back('\n');
        }
    }
    if (!text.empty())
        text.pop_back();
    return text;
}

void CProgramReader::ReadHeaderBlock(bool keep) {
    CRuxHeader h;
    enum EField { S, I, D };
    struct Key {
        const char* key;
        size_t skip;
        EField kind;
        std::string* s;
        int32_t* i;
    };
    const Key keys[] = {
        {"Name=", 5, S, &h.Name, nullptr},
        {"Author=", 7, S, &h.Author, nullptr},
        {"Company=", 8, S, &h.Company, nullptr},
        {"Title=", 6, S, &h.Title, nullptr},
        {"Version=", 8, S, &h.Version, nullptr},
        {"Drive=", 6, S, &h.Drive, nullptr},
        {"Target=", 7, S, &h.Target, nullptr},
        {"Type=", 5, S, &h.Type, nullptr},
        {"Address=", 8, I, nullptr, &h.Address},
        {"Debug=", 6, I, nullptr, &h.Debug},
        {"Source=", 7, I, nullptr, &h.Source},
        {"$V3=", 4, I, nullptr, &h.V3},
        {"Group", 6, S, &h.Group, nullptr},
        {"H2Lite", 7, I, nullptr, &h.H2Lite},
        {"PosHard=", 8, I, nullptr, &h.PosHard},
        {"PosLink=", 8, I, nullptr, &h.PosLink},
        {"OptionNumber=", 13, I, nullptr, &h.OptionNumber},
        {"Network=", 8, S, &h.Network, nullptr},
        {"FloatingPoint", 14, I, nullptr, &h.FloatingPoint},
        {"ClipParam", 10, I, nullptr, &h.ClipParam},
        {"Library=", 8, S, &h.Library, nullptr},
        {"RefLibs=", 8, S, &h.RefLibs, nullptr},
        {"OldLib", 7, S, &h.OldLib, nullptr},
        {"UserProgEnabled", 16, I, nullptr, &h.UserProgEnabled},
        {"Clonable", 9, I, nullptr, &h.Clonable},
        {"Descriptor=", 0, D, nullptr, nullptr},
    };
    while (Next()) {
        if (Classify(m_line) == ELineKind::Closing)
            break;
        const std::string_view line = m_line;
        for (const Key& k : keys) {
            if (!StartsWithNoCase(line, k.key))
                continue;
            const std::string_view value = line.size() > k.skip ? line.substr(k.skip) : std::string_view();
            if (k.kind == S)
                k.s->assign(value);
            else if (k.kind == I)
                *k.i = ParseDecimal(value);
            else
                h.Descriptor = ReadTextBlock();
            break;
        }
    }
    if (!keep)
        return;
    if (h.Type.empty() && m_target)
        h.Type = m_target->GetTypeFromDriveAndTarget(h.Drive, h.Target);
    m_sink.Header(std::move(h));
}

void CProgramReader::ReadSection() {
    m_sink.BeginSection();
    CSectionRecord section;
    std::string name;
    while (Next()) {
        const ELineKind kind = Classify(m_line);
        if (kind == ELineKind::Text) {
            m_sink.Text(LineText(m_line));
        } else if (kind == ELineKind::Plain) {
            const std::string_view line = m_line;
            if (line.starts_with("Name="))
                name.assign(line.substr(5));
            else if (line.starts_with("State=")) {
                section.expanded = line.substr(6) != "close";
                section.haveState = true;
            } else if (line.starts_with("HelpLink="))
                section.helpLink.assign(line.substr(9));
            else if (line.starts_with("LibVisible="))
                section.libVisible = ParseDecimal(line.substr(11));
            else if (line.starts_with("FBDescription="))
                section.fbDescription = LfToCrLf(ReadTextBlock());
        } else if (kind == ELineKind::Opening) {
            const std::string_view block = BlockName(m_line);
            if (block == "Diagram") {
                CDiagramRecord diagram;
                if (ReadDiagram(diagram))
                    m_sink.Diagram(std::move(diagram));
            } else if (block == "EndSection") {
                break;
            }
        } else if (kind == ELineKind::EndOfProgram) {
            break;
        }
    }
    section.name.assign(TrimBlanks(name));
    m_sink.EndSection(std::move(section));
}

void CProgramReader::ReadPayload(std::string& payload) {
    payload.clear();
    int nesting = 0;
    while (Next()) {
        if (StartsWithNoCase(m_line, "#info=")) {
            ++nesting;
        } else if (StartsWithNoCase(m_line, "#endinfo")) {
            if (nesting == 0)
                return;
            --nesting;
        }
        payload.append(m_line);
        if (m_lf)
            payload.append("\r\n");
    }
}

bool CProgramReader::ReadDiagram(CDiagramRecord& diagram) {
    std::string kind, zoom;
    bool havePayload = false;
    while (Next()) {
        const ELineKind lineKind = Classify(m_line);
        if (lineKind == ELineKind::Closing)
            break;
        if (lineKind == ELineKind::Opening) {
            const std::string_view block = BlockName(m_line);
            if (block == "QLD" || block == "FBD" || block == "LD") {
                kind.assign(block);
                ReadPayload(diagram.payload);
                havePayload = true;
            }
        } else if (lineKind == ELineKind::Plain) {
            const std::string_view line = m_line;
            if (line.starts_with("Zoom="))
                zoom.assign(line.substr(5));
            else if (line.starts_with("State=")) {
                // An empty state keeps the default.
                diagram.haveState = line.size() > 6;
                diagram.open = line.substr(6) != "close";
            } else if (line.starts_with("DiagTitle="))
                diagram.title.assign(line.substr(10));
        }
    }
    if (!havePayload || (kind != "QLD" && kind != "FBD"))
        return false;
    diagram.kind = kind == "QLD" ? kDiagramQld : kDiagramFbd;
    diagram.haveZoom = !zoom.empty();
    if (diagram.haveZoom)
        diagram.zoom = ParseDecimal(zoom);
    if (diagram.payload.size() <= 4)
        diagram.payload.clear();
    return true;
}

void CProgramReader::ReadIndexBlock(std::vector<int>* list) {
    while (Next()) {
        const ELineKind kind = Classify(m_line);
        if (kind == ELineKind::Closing)
            break;
        if (kind == ELineKind::Plain && list)
            list->push_back(ParseDecimal(m_line));
    }
}

void ConvertTextProgram(CStrFile& in, ItemVector& items, uint32_t& sectionIds) {
    auto strip = [](std::string& line) {
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    };
    // A brace counts when it stands before any comment start.
    auto braceBeforeComment = [](std::string_view line, char brace) {
        const size_t at = line.find(brace);
        if (at == std::string_view::npos)
            return false;
        return at < line.find(';') && at < line.find("//");
    };
    std::string line;
    CSectionHeader* open = nullptr;
    while (in.ReadLine(line)) {
        strip(line);
        if (IsHeaderDirective(line))
            continue;
        if (!open) {
            if (braceBeforeComment(line, '{')) {
                std::string name = line.substr(0, line.find('{'));
                const bool cyclic = UpperAsciiCopy(name).find("CYCLICDATA") != std::string::npos;
                auto header = std::make_unique<CSectionHeader>(cyclic ? std::string("Notes") : name);
                header->SetId(sectionIds++);
                open = header.get();
                items.push_back(std::move(header));
                if (cyclic) {
                    auto note = std::make_unique<CLine>("// Please re-enter using the cyclic data editor");
                    note->SetSection(open);
                    items.push_back(std::move(note));
                    auto first = std::make_unique<CLine>(line);
                    first->SetSection(open);
                    items.push_back(std::move(first));
                }
            } else {
                items.push_back(std::make_unique<CLine>(line));
            }
            continue;
        }
        if (braceBeforeComment(line, '}')) {
            auto footer = std::make_unique<CSectionFooter>(open->GetText());
            footer->SetSection(open);
            items.push_back(std::move(footer));
            open = nullptr;
            continue;
        }
        auto member = std::make_unique<CLine>(line);
        member->SetSection(open);
        items.push_back(std::move(member));
    }
    if (open) {
        auto footer = std::make_unique<CSectionFooter>(open->GetText());
        footer->SetSection(open);
        items.push_back(std::move(footer));
    }
}

void ReadFragment(CStrFile& in, ItemVector& items, const std::vector<std::string>& existingTitles,
                  uint32_t& sectionIds) {
    CItemSink sink(items, sectionIds);
    CProgramReader reader(in, sink, nullptr);
    reader.ReadTopLevel(CProgramReader::EMode::Fragment, &existingTitles);
}

void ReadBlocks(CStrFile& in, ItemVector& items, uint32_t& sectionIds, CTargetLibrary* target) {
    CItemSink sink(items, sectionIds);
    CProgramReader reader(in, sink, target);
    reader.ReadTopLevel(CProgramReader::EMode::Blocks);
}

CProgramRead ReadProgram(CStrFile& in, CProgramSink& sink, CTargetLibrary* target) {
    CProgramRead read;
    std::string first;
    read.format = in.ReadLine(first) && StartsWithNoCase(first, kProgramHeaderLine);
    if (!read.format)
        in.Rewind();
    CProgramReader reader(in, sink, target);
    if (read.format)
        read.marks = reader.ReadTopLevel(CProgramReader::EMode::File);
    else
        reader.ReadPlainText();
    return read;
}

bool ReadProgramFile(const std::string& path, CProgramSink& sink, CTargetLibrary* target, CProgramRead& read,
                     std::string* problem) {
    CStrStdioFile in;
    if (!in.Open(path)) {
        if (problem)
            *problem = in.Problem();
        return false;
    }
    read = ReadProgram(in, sink, target);
    if (const int error = in.ReadError()) {
        // A program cut short by a failing disk must not pass for the whole file.
        if (problem)
            *problem = in.Problem();
        errno = error;
        return false;
    }
    return true;
}

} // namespace rux
