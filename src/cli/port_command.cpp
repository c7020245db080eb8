// rux port FILE [--catalogue-dir DIR] [--json | --sarif]
//          [--fix add|remove [--icons 2|3|2,3] | --ignore LINE] [-o OUT]
// Lists the porting issues as the porting tool's window does, in its default order; with --fix or
// --ignore it first runs that command of the window on the program and saves it.
#include "cli/port_command.h"

#include "document/code_page.h"
#include "document/item.h"
#include "document/message_sink.h"
#include "document/output_stream.h"
#include "document/string_table.h"
#include "editor/edit_script.h"
#include "porting/payload_prefix_link.h"
#include "porting/porting_rows.h"
#include "porting/porting_scan.h"
#include "porting/porting_view.h"
#include "shell/product_paths.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace rux::cli {
namespace {

using json = nlohmann::ordered_json;

const char kPortUsage[] = "usage: rux port FILE [--catalogue-dir DIR] [--json | --sarif] "
                          "[--fix add|remove [--icons 2|3|2,3] | --ignore LINE] [-o OUT]";

class CPortMessages final : public CMessageSink {
public:
    void ShowMessage(int, const std::string& text) override {
        std::fprintf(stderr, "rux: %s\n", text.c_str());
    }
};

struct COptions {
    std::string file, out, catalogueDir;
    bool json = false, sarif = false;
    std::string fix; // "add" or "remove"
    bool icon2 = true, icon3 = true, iconsGiven = false;
    int ignoreLine = -1;
};

bool ParseLine(const std::string& text, int& line) {
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || errno || n < 0 || n > 0x7fffffff) return false;
    line = static_cast<int>(n);
    return true;
}

// Empty when the options are good; otherwise what is wrong.
std::string ParseOptions(const Args& args, COptions& o) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--catalogue-dir") {
            if (!hasValue) return "--catalogue-dir needs a folder";
            o.catalogueDir = args[++i];
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--sarif") {
            o.sarif = true;
        } else if (a == "--fix") {
            if (!hasValue || (args[i + 1] != "add" && args[i + 1] != "remove"))
                return "--fix needs add or remove";
            o.fix = args[++i];
        } else if (a == "--icons") {
            if (!hasValue) return "--icons needs 2, 3 or 2,3";
            const std::string& v = args[++i];
            if (v != "2" && v != "3" && v != "2,3" && v != "3,2") return "--icons needs 2, 3 or 2,3";
            o.icon2 = v.find('2') != std::string::npos;
            o.icon3 = v.find('3') != std::string::npos;
            o.iconsGiven = true;
        } else if (a == "--ignore") {
            if (!hasValue || !ParseLine(args[i + 1], o.ignoreLine)) return "--ignore needs a line number";
            ++i;
        } else if (a == "-o") {
            if (!hasValue) return "-o needs a file";
            o.out = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return "unknown option '" + a + "'";
        } else if (o.file.empty()) {
            o.file = a;
        } else {
            return "more than one file given";
        }
    }
    if (o.file.empty()) return "no file given";
    if (o.json && o.sarif) return "--json and --sarif exclude each other";
    if (!o.fix.empty() && o.ignoreLine >= 0) return "--fix and --ignore exclude each other";
    if (o.iconsGiven && o.fix.empty()) return "--icons goes with --fix";
    if (!o.out.empty() && o.fix.empty() && o.ignoreLine < 0) return "-o goes with --fix or --ignore";
    return {};
}

void PrintRows(const CPortingIssueList& list) {
    for (CPortingIssue* issue : list.InPositionOrder()) {
        const std::string row = PortingLineText(*issue) + "\t" + issue->GetLocation() + "\t" +
                                issue->GetDescription() + "\t" + issue->StatusText();
        std::fwrite(row.data(), 1, row.size(), stdout);
        std::fputc('\n', stdout);
    }
}

json Utf8(const std::string& bytes) {
    return Cp1252ToUtf8(bytes);
}

json IssueJson(CPortingIssue& issue) {
    json j = json::object();
    j["line"] = issue.GetLine();
    j["column"] = issue.GetColumn();
    j["length"] = issue.GetLength();
    j["icon"] = issue.GetIcon();
    j["state"] = issue.GetState();
    j["kind"] = issue.KindName();
    j["name"] = Utf8(issue.GetName());
    j["location"] = Utf8(issue.GetLocation());
    j["diagramColumn"] = issue.GetDiagramColumn();
    j["diagramRow"] = issue.GetDiagramRow();
    j["help"] = Utf8(issue.GetHelpTopic());
    j["description"] = Utf8(issue.GetDescription());
    j["status"] = Utf8(issue.StatusText());
    return j;
}

// Where an item's text begins in the file as it is saved: its line (from 1) and the byte offset
// of that line's start before the text, so that a column of the item becomes a column of the file.
struct CFilePlace {
    int line = 1;      // the line on which the item's text starts
    size_t offset = 0; // bytes between the start of that line and the text
    std::string block; // the item as written, from its text on
};

std::vector<CFilePlace> FilePlaces(const CProgram& program) {
    std::string prelude;
    {
        CStringOstream out(prelude);
        out << "x\r\n#info=BmkRef\r\n";
        int index = 0;
        for (const auto& item : program.Items())
            item->WriteMarkRef(out, index++, kMarkBookmark);
        out << "#endinfo\r\n#info=BmkErrRef\r\n";
        index = 0;
        for (const auto& item : program.Items())
            item->WriteMarkRef(out, index++, kMarkError);
        out << "#endinfo\r\n";
    }
    int line = 1 + static_cast<int>(std::count(prelude.begin(), prelude.end(), '\n'));
    std::vector<CFilePlace> places;
    int index = 0;
    for (const auto& item : program.Items()) {
        std::string block;
        CStringOstream out(block);
        item->WriteItem(index++, out, nullptr);
        CFilePlace place;
        const std::string& text = item->GetText();
        size_t at = text.empty() ? std::string::npos : block.find(text);
        if (at == std::string::npos) at = 0;
        const size_t lineStart = at == 0 ? 0 : block.rfind('\n', at - 1);
        place.line = line + static_cast<int>(std::count(
                                block.begin(), block.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
        place.offset = at - (lineStart == std::string::npos || at == 0 ? 0 : lineStart + 1);
        place.block = block.substr(at);
        places.push_back(std::move(place));
        line += static_cast<int>(std::count(block.begin(), block.end(), '\n'));
    }
    return places;
}

// A log's helpUri must be an absolute URI: the product's own help page as a file: URI.
std::string HelpPageUri(const std::string& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    const std::string text = Cp1252ToUtf8((ec ? std::filesystem::path(path) : absolute).lexically_normal().string());
    std::string uri = "file://";
    for (const unsigned char c : text) {
        if (std::isalnum(c) || std::strchr("/-._~", c)) {
            uri += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        }
    }
    return uri;
}

json Sarif(const std::string& file, EPortingCatalogue catalogue,
           const std::vector<std::unique_ptr<CPortingIssue>>& entries, const CPortingIssueList& list,
           const CProgram& program) {
    json rules = json::array();
    std::vector<int> ruleOfEntry(entries.size(), -1);
    for (size_t e = 0; e < entries.size(); ++e) {
        if (!entries[e]) continue;
        CPortingIssue& entry = *entries[e];
        char id[32];
        std::snprintf(id, sizeof id, "PORT%03zu", e + 1);
        json rule = json::object();
        rule["id"] = id;
        rule["name"] = Utf8(entry.GetName());
        rule["shortDescription"] = {{"text", Utf8(entry.KindName() + std::string(": ") + entry.GetName())}};
        rule["helpUri"] = HelpPageUri(CProductPaths::ProductDir() + "/Help/" + CatalogueHelpFolder(catalogue) + "/" +
                                      (entry.GetHelpTopic().empty() ? std::string("NoHelp.htm") : entry.GetHelpTopic()));
        rule["properties"] = {{"kind", entry.KindName()}, {"icon", entry.GetIcon()}};
        ruleOfEntry[e] = static_cast<int>(rules.size());
        rules.push_back(std::move(rule));
    }
    const std::vector<CFilePlace> places = FilePlaces(program);
    json results = json::array();
    for (CPortingIssue* issue : list.InPositionOrder()) {
        const int entry = issue->GetCatalogueEntry();
        if (entry < 0 || static_cast<size_t>(entry) >= entries.size() ||
            ruleOfEntry[static_cast<size_t>(entry)] < 0)
            continue;
        json region = json::object();
        if (issue->GetLine() >= 0 && static_cast<size_t>(issue->GetLine()) < places.size()) {
            const CFilePlace& place = places[static_cast<size_t>(issue->GetLine())];
            // A column of a diagram's payload may lie on a later line of the block.
            const size_t pos = static_cast<size_t>(std::max(issue->GetColumn() - 1, 0));
            const size_t upTo = std::min(pos, place.block.size());
            const int extraLines = static_cast<int>(std::count(
                place.block.begin(), place.block.begin() + static_cast<std::ptrdiff_t>(upTo), '\n'));
            const size_t lastBreak = upTo == 0 ? std::string::npos : place.block.rfind('\n', upTo - 1);
            const size_t column = extraLines == 0 ? place.offset + pos : pos - (lastBreak + 1);
            region["startLine"] = place.line + extraLines;
            region["startColumn"] = static_cast<int>(column) + 1;
            region["endColumn"] = static_cast<int>(column) + 1 + std::max(issue->GetLength(), 0);
        }
        json result = json::object();
        result["ruleId"] = rules[static_cast<size_t>(ruleOfEntry[static_cast<size_t>(entry)])]["id"];
        result["ruleIndex"] = ruleOfEntry[static_cast<size_t>(entry)];
        const int icon = issue->ShownIcon();
        result["level"] = icon == kPortIconNoConvert ? "warning" : "note";
        result["message"] = {{"text", Utf8(issue->GetDescription())}};
        json location = json::object();
        location["physicalLocation"] = {{"artifactLocation", {{"uri", Utf8(file)}, {"index", 0}}},
                                        {"region", region}};
        location["logicalLocations"] =
            json::array({{{"name", Utf8(issue->GetLocation())}, {"kind", "module"}}});
        result["locations"] = json::array({location});
        json props = json::object();
        props["itemIndex"] = issue->GetLine();
        props["itemColumn"] = issue->GetColumn();
        props["state"] = issue->GetState();
        props["status"] = Utf8(issue->StatusText());
        if (issue->IsInDiagram()) {
            props["diagramColumn"] = issue->GetDiagramColumn();
            props["diagramRow"] = issue->GetDiagramRow();
        }
        result["properties"] = std::move(props);
        results.push_back(std::move(result));
    }
    json driver = json::object();
    driver["name"] = "rux port";
    driver["version"] = "1.0";
    driver["informationUri"] = "https://example.invalid/rux-editor/porting";
    driver["rules"] = std::move(rules);
    json run = json::object();
    run["tool"] = {{"driver", std::move(driver)}};
    run["artifacts"] = json::array({{{"location", {{"uri", Utf8(file)}}}}});
    run["results"] = std::move(results);
    json log = json::object();
    log["$schema"] = "https://json.schemastore.org/sarif-2.1.0.json";
    log["version"] = "2.1.0";
    log["runs"] = json::array({std::move(run)});
    return log;
}

} // namespace

int RunPort(const Args& args) {
    COptions o;
    if (const std::string problem = ParseOptions(args, o); !problem.empty()) {
        std::fprintf(stderr, "rux: port: %s\n%s\n", problem.c_str(), kPortUsage);
        return kExitUsage;
    }
    const std::string catalogueDir = o.catalogueDir.empty() ? CProductPaths::ProductDir() : o.catalogueDir;
    CCliServices services;
    CEditScript script;
    errno = 0;
    const int shownBefore = services.MessagesShown();
    if (!script.Open(o.file, {}, false, services.DocumentServices())) {
        ReportOpenFailure(script.Document(), o.file, services, shownBefore);
        return kExitFile;
    }
    CRUXDocument& document = script.Document();
    CPortMessages messages;
    CPortingIssueList list;
    if (!list.ScanForTarget(document.Program(), document.GetType(), catalogueDir, messages)) return kExitFile;

    // The window's commands run on the program's own view; its questions are answered Yes.
    CSessionPortingView view(script.Session(), [](const std::string&) { return true; });
    CPayloadPrefixLink diagramWindow(script.Session());
    bool saveNeeded = false;
    int result = kExitOk;
    if (!o.fix.empty()) {
        const bool add = o.fix == "add";
        if (!script.Session().CanEdit()) {
            std::fprintf(stderr, "rux: port: '%s' cannot be edited\n", o.file.c_str());
            return kExitFile;
        }
        CPortingIssueList::CFixAllHooks hooks;
        hooks.choose = [&](bool& icon2, bool& icon3) {
            icon2 = o.icon2;
            icon3 = o.icon3;
            return true;
        };
        hooks.openCell = [&](CPortingIssue& issue) { diagramWindow.SelectAt(issue); };
        // Without the dialog --icons chooses, also when only one of the icons has issues.
        const int count2 = list.CountToChange(add, kPortIconCaveats),
                  count3 = list.CountToChange(add, kPortIconConvert);
        const bool run = (count2 > 0 && count3 > 0) || (count2 > 0 && o.icon2) || (count3 > 0 && o.icon3);
        if (run && list.FixAll(add, view, hooks) == CPortingIssueList::EFixAll::NotAllFound) {
            messages.ShowMessage(IDS_PORT_FIX_ALL_NOT_FOUND, LoadString(IDS_PORT_FIX_ALL_NOT_FOUND));
            result = kExitFile;
        }
        diagramWindow.Release();
        saveNeeded = true;
    } else if (o.ignoreLine >= 0) {
        CPortingIssue* target = nullptr;
        for (CPortingIssue* issue : list.InPositionOrder())
            if (issue->GetLine() == o.ignoreLine && CPortingIssueList::CanIgnore(*issue)) {
                target = issue;
                break;
            }
        if (!target) {
            std::fprintf(stderr, "rux: port: line %d holds no issue that can be ignored\n", o.ignoreLine);
            return kExitUsage;
        }
        if (list.Ignore(*target, view, messages) != CPortingIssueList::EIgnore::Done) return kExitFile;
        saveNeeded = true;
    }
    if (saveNeeded && !script.SaveTo(o.out.empty() ? o.file : o.out)) return kExitFile;

    const int found = list.IsEmpty() ? kExitOk : kExitPortIssues;
    if (o.json) {
        json root = json::object();
        root["catalogue"] = CatalogueFileName(list.Catalogue());
        json issues = json::array();
        for (CPortingIssue* issue : list.InPositionOrder())
            issues.push_back(IssueJson(*issue));
        root["issues"] = std::move(issues);
        std::puts(root.dump(2).c_str());
    } else if (o.sarif) {
        std::vector<std::unique_ptr<CPortingIssue>> entries;
        LoadCatalogue(list.Catalogue(), catalogueDir, entries);
        std::puts(Sarif(o.file, list.Catalogue(), entries, list, document.Program()).dump(2).c_str());
    } else if (list.IsEmpty()) {
        std::puts(LoadString(IDS_PORT_NO_ISSUES));
    } else {
        PrintRows(list);
    }
    return result != kExitOk ? result : found;
}

} // namespace rux::cli
