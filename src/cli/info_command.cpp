// rux info: the structure of a program, as an outline or as JSON.
#include "cli/cli_common.h"

#include "document/code_page.h"
#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/section_items.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

namespace rux::cli {
namespace {

using json = nlohmann::ordered_json;

json Text(const std::string& bytes) {
    return Cp1252ToUtf8(bytes);
}

json HeaderFields(const CRuxHeader& h) {
    json f = json::object();
    f["Author"] = Text(h.Author);
    f["Company"] = Text(h.Company);
    f["Title"] = Text(h.Title);
    f["Version"] = Text(h.Version);
    f["Drive"] = Text(h.Drive);
    f["Target"] = Text(h.Target);
    f["Type"] = Text(h.Type);
    f["Address"] = h.Address;
    f["Debug"] = h.Debug;
    f["Source"] = h.Source;
    f["$V3"] = h.V3;
    f["Name"] = Text(h.Name);
    f["Group"] = Text(h.Group);
    f["PosHard"] = h.PosHard;
    f["PosLink"] = h.PosLink;
    f["OptionNumber"] = h.OptionNumber;
    f["Network"] = Text(h.Network);
    f["Descriptor"] = Text(h.Descriptor);
    f["H2Lite"] = h.H2Lite;
    f["FloatingPoint"] = h.FloatingPoint;
    f["ClipParam"] = h.ClipParam;
    f["Library"] = Text(h.Library);
    f["RefLibs"] = Text(h.RefLibs);
    f["OldLib"] = Text(h.OldLib);
    f["UserProgEnabled"] = h.UserProgEnabled;
    f["Clonable"] = h.Clonable;
    return f;
}

json ItemJson(const CItem& item, int index) {
    json j = json::object();
    j["index"] = index;
    j["type"] = "unknown";
    switch (item.GetType()) {
    case kItemPar:
        j["type"] = "header";
        j["fields"] = HeaderFields(static_cast<const CPar&>(item).Header());
        break;
    case kItemLine:
        j["type"] = "line";
        j["text"] = Text(item.GetText());
        j["section"] = item.GetSectionId();
        break;
    case kItemSectionHeader: {
        const auto& s = static_cast<const CSectionHeader&>(item);
        j["type"] = "section";
        j["text"] = Text(s.GetText());
        j["name"] = Text(s.GetShortName());
        j["id"] = s.GetId();
        j["expanded"] = s.IsExpanded();
        j["fb"] = s.IsFunctionBlock();
        j["notes"] = s.IsNotes();
        j["helpLink"] = Text(s.GetHelpLink());
        j["libVisible"] = s.GetLibVisible();
        j["fbDescription"] = Text(s.GetFbDescription());
        break;
    }
    case kItemSectionFooter:
        j["type"] = "footer";
        j["text"] = Text(item.GetText());
        j["section"] = item.GetSectionId();
        break;
    case kItemDiag: {
        const auto& d = static_cast<const CDiag&>(item);
        j["type"] = "diagram";
        j["kind"] = d.GetKind() == kDiagramQld ? "QLD" : "FBD";
        j["title"] = Text(d.GetTitle());
        j["open"] = d.IsOpen();
        j["zoom"] = d.GetZoom();
        j["section"] = d.GetSectionId();
        j["payload"] = Text(d.GetText());
        break;
    }
    default:
        break;
    }
    return j;
}

void PrintJson(const CRUXDocument& program) {
    json root = json::object();
    root["format"] = program.HasFormat() ? "program" : "text";
    root["title"] = Text(program.GetTitle());
    root["label"] = Text(program.GetNodeLabel());
    json identifiers = json::array();
    for (const std::string& word : program.Identifiers().Sorted())
        identifiers.push_back(Text(word));
    json items = json::array();
    json bookmarks = json::array();
    int index = 0;
    for (const auto& item : program.Items()) {
        items.push_back(ItemJson(*item, index));
        if (item->HasBookmark()) bookmarks.push_back(index);
        ++index;
    }
    root["items"] = std::move(items);
    root["bookmarks"] = std::move(bookmarks);
    root["identifiers"] = std::move(identifiers);
    std::fputs(root.dump(2).c_str(), stdout);
    std::fputc('\n', stdout);
}

void PrintOutline(const CProgram& program, const std::string& path) {
    const CObArrayEx& items = program.Items();
    std::printf("%s: %s, %d items\n", path.c_str(), program.HasFormat() ? "program file" : "plain text",
                items.GetSize());
    if (const CPar* par = program.GetHeader()) {
        const CRuxHeader& h = par->Header();
        std::printf("Header: \"%s\" version %s by %s, %s\n", Cp1252ToUtf8(h.Title).c_str(),
                    Cp1252ToUtf8(h.Version).c_str(), Cp1252ToUtf8(h.Author).c_str(),
                    Cp1252ToUtf8(h.Company).c_str());
        std::printf("Node: drive %s, target %s, type %s, address %d%s%s%s\n", h.Drive.c_str(),
                    h.Target.c_str(), h.Type.c_str(), h.Address, h.Debug ? ", debug" : "",
                    h.Source ? ", source" : "", h.Library.empty() ? "" : (", library " + h.Library).c_str());
    }
    std::vector<int> bookmarks;
    for (int i = 0; i < items.GetSize(); ++i) {
        const CItem* item = items.GetAt(i);
        if (item->HasBookmark()) bookmarks.push_back(i);
        if (item->GetType() == kItemSectionHeader) {
            const auto* s = static_cast<const CSectionHeader*>(item);
            int end = i;
            for (int k = i + 1; k < items.GetSize(); ++k)
                if (items.GetAt(k)->GetType() == kItemSectionFooter && items.GetAt(k)->GetSection() == s) {
                    end = k;
                    break;
                }
            std::printf("Section %-24s lines %d-%d%s%s\n", Cp1252ToUtf8(s->GetShortName()).c_str(), i, end,
                        s->IsFunctionBlock() ? ", function block" : (s->IsNotes() ? ", notes" : ""),
                        s->IsExpanded() ? "" : ", folded");
        } else if (item->GetType() == kItemDiag) {
            const auto* d = static_cast<const CDiag*>(item);
            std::printf("  Diagram \"%s\" (%s) line %d, %d payload lines%s\n",
                        Cp1252ToUtf8(d->GetTitle()).c_str(), d->GetKind() == kDiagramQld ? "QLD" : "FBD", i,
                        static_cast<int>(std::count(d->GetText().begin(), d->GetText().end(), '\n')),
                        d->IsOpen() ? "" : ", collapsed");
        }
    }
    if (!bookmarks.empty()) {
        std::printf("Bookmarks:");
        for (int b : bookmarks)
            std::printf(" %d", b);
        std::printf("\n");
    }
}

} // namespace

int RunInfo(const Args& args) {
    bool asJson = false;
    std::string file;
    for (const auto& a : args) {
        if (a == "--json")
            asJson = true;
        else if (!a.empty() && a[0] == '-' && a != "-")
            return UsageError("unknown option '" + a + "' (usage: rux info [--json] FILE)");
        else if (file.empty())
            file = a;
        else
            return UsageError("usage: rux info [--json] FILE");
    }
    if (file.empty()) return UsageError("usage: rux info [--json] FILE");
    if (IsImageFile(file)) return PrintImageInfo(file, asJson);
    CCliServices services;
    CRUXDocument program(services.DocumentServices());
    if (!OpenProgram(program, file, services)) return kExitFile;
    if (asJson)
        PrintJson(program);
    else
        PrintOutline(program.Program(), file);
    return kExitOk;
}

} // namespace rux::cli
