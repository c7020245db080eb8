#include "document/program_reader.h"

#include "document/diagram_item.h"
#include "document/header_directives.h"
#include "document/header_item.h"
#include "document/line_input.h"
#include "document/section_items.h"
#include "target/target_library.h"

#include <cstdio>
#include <limits>

namespace rux {
namespace {

enum class ELineKind { Opening, Closing, EndOfProgram, Text, Plain };

ELineKind Classify(std::string_view line) {
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

std::string_view StripTerminator(std::string_view line) {
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    return line;
}

// The block name of an opening line.
std::string_view BlockName(std::string_view line) { return StripTerminator(line.substr(6)); }

// The text of a ":" line.
std::string_view LineText(std::string_view line) { return StripTerminator(line.substr(1)); }

// The "$V3" directive of older programs becomes a comment; the header flag is set from the type.
bool ApplyV3Rule(std::string& text) {
    if (text.find("$V3") == std::string::npos)
        return false;
    text.assign(TrimBlanks(text));
    if (!text.starts_with("$V3"))
        return false;
    text = "// $V3 - Now set in Node Properties";
    return true;
}

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

bool CProgramReader::Next() { return m_in.ReadLine(m_line); }

void CProgramReader::ReadPlainText(ItemVector& items) {
    while (Next())
        items.push_back(std::make_unique<CLine>(std::string(StripTerminator(m_line))));
}

CReadResult CProgramReader::ReadTopLevel(ItemVector& items, EMode mode, const std::vector<std::string>* titles) {
    CReadResult result;
    while (Next()) {
        switch (Classify(m_line)) {
        case ELineKind::EndOfProgram:
            return result;
        case ELineKind::Text: {
            std::string text(LineText(m_line));
            if (mode != EMode::Fragment && ApplyV3Rule(text))
                result.v3Fired = true;
            items.push_back(std::make_unique<CLine>(std::move(text)));
            break;
        }
        case ELineKind::Opening: {
            const std::string_view name = BlockName(m_line);
            if (name == "Diagram") {
                CItem* diagram = ReadDiagram(items, nullptr);
                if (diagram && mode == EMode::Fragment && titles) {
                    auto* d = static_cast<CDiag*>(diagram);
                    auto taken = [&](const std::string& t) {
                        for (const auto& existing : *titles)
                            if (EqualsNoCase(existing, t))
                                return true;
                        return false;
                    };
                    if (taken(d->GetTitle())) {
                        for (int n = 1;; ++n) {
                            std::string candidate = d->GetTitle() + " (" + std::to_string(n) + ")";
                            if (!taken(candidate)) {
                                d->SetTitle(std::move(candidate));
                                break;
                            }
                        }
                    }
                }
            } else if (name == "Section") {
                ReadSection(items);
            } else if (name == "Ident") {
                ReadHeaderBlock(items, mode != EMode::Fragment);
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
        if (m_line.size() >= 2)
            text.append(m_line, 1, std::string::npos);
    }
    if (!text.empty())
        text.pop_back();
    return text;
}

void CProgramReader::ReadHeaderBlock(ItemVector& items, bool keep) {
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
        const std::string_view line = StripTerminator(m_line);
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
    items.push_back(std::make_unique<CPar>(std::move(h)));
}

void CProgramReader::ReadSection(ItemVector& items) {
    auto owned = std::make_unique<CSectionHeader>();
    CSectionHeader* header = owned.get();
    header->SetId(m_sectionIds++);
    items.push_back(std::move(owned));

    std::string name, state, helpLink, fbDescription;
    bool haveState = false;
    int libVisible = 1;
    while (Next()) {
        const ELineKind kind = Classify(m_line);
        if (kind == ELineKind::Plain) {
            const std::string_view line = StripTerminator(m_line);
            if (line.starts_with("Name="))
                name.assign(line.substr(5));
            else if (line.starts_with("State=")) {
                state.assign(line.substr(6));
                haveState = true;
            } else if (line.starts_with("HelpLink="))
                helpLink.assign(line.substr(9));
            else if (line.starts_with("LibVisible="))
                libVisible = ParseDecimal(line.substr(11));
            else if (line.starts_with("FBDescription="))
                fbDescription = LfToCrLf(ReadTextBlock());
        } else if (kind == ELineKind::Opening) {
            const std::string_view block = BlockName(m_line);
            if (block == "Diagram")
                ReadDiagram(items, header);
            else if (block == "EndSection")
                break;
        } else if (kind == ELineKind::EndOfProgram) {
            break;
        } else if (kind == ELineKind::Text) {
            auto line = std::make_unique<CLine>(std::string(LineText(m_line)));
            line->SetSection(header);
            items.push_back(std::move(line));
        }
    }
    if (haveState)
        header->SetExpanded(state != "close");
    header->SetText(name);
    header->SetHelpLink(std::move(helpLink));
    header->SetLibVisible(libVisible);
    header->SetFbDescription(std::move(fbDescription));
    // The header's text as stored (trimmed), so that the pair never differs.
    auto footer = std::make_unique<CSectionFooter>(header->GetText());
    footer->SetSection(header);
    items.push_back(std::move(footer));
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
        if (!m_line.empty() && m_line.back() == '\n') {
            payload.append(m_line, 0, m_line.size() - 1);
            payload.append("\r\n");
        } else {
            payload.append(m_line);
        }
    }
}

CItem* CProgramReader::ReadDiagram(ItemVector& items, CItem* section) {
    std::string kind, payload, zoom, state, title;
    bool havePayload = false;
    while (Next()) {
        const ELineKind lineKind = Classify(m_line);
        if (lineKind == ELineKind::Closing)
            break;
        if (lineKind == ELineKind::Opening) {
            const std::string_view block = BlockName(m_line);
            if (block == "QLD" || block == "FBD" || block == "LD") {
                kind.assign(block);
                ReadPayload(payload);
                havePayload = true;
            }
        } else if (lineKind == ELineKind::Plain) {
            const std::string_view line = StripTerminator(m_line);
            if (line.starts_with("Zoom="))
                zoom.assign(line.substr(5));
            else if (line.starts_with("State="))
                state.assign(line.substr(6));
            else if (line.starts_with("DiagTitle="))
                title.assign(line.substr(10));
        }
    }
    if (!havePayload || (kind != "QLD" && kind != "FBD"))
        return nullptr;
    auto diagram = std::make_unique<CDiag>(kind == "QLD" ? kDiagramQld : kDiagramFbd);
    diagram->SetSection(section);
    if (!zoom.empty())
        diagram->SetZoom(ParseDecimal(zoom));
    if (!state.empty())
        diagram->SetOpen(state != "close");
    if (payload.size() > 4)
        diagram->SetText(std::move(payload));
    if (!title.empty())
        diagram->SetTitle(std::move(title));
    CItem* raw = diagram.get();
    items.push_back(std::move(diagram));
    return raw;
}

void CProgramReader::ReadIndexBlock(std::vector<int>* list) {
    while (Next()) {
        const ELineKind kind = Classify(m_line);
        if (kind == ELineKind::Closing)
            break;
        if (kind == ELineKind::Plain && list)
            list->push_back(ParseDecimal(StripTerminator(m_line)));
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
    CProgramReader reader(in, sectionIds, nullptr);
    reader.ReadTopLevel(items, CProgramReader::EMode::Fragment, &existingTitles);
}

void ReadBlocks(CStrFile& in, ItemVector& items, uint32_t& sectionIds, CTargetLibrary* target) {
    CProgramReader reader(in, sectionIds, target);
    reader.ReadTopLevel(items, CProgramReader::EMode::Blocks);
}

} // namespace rux
