#include "editor/section_commands.h"

#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/item_list.h"
#include "document/line_input.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "document/view_metrics.h"
#include "editor/edit_session.h"
#include "shell/ini_file.h"
#include "target/target_library.h"

#include <algorithm>
#include <dirent.h>
#include <unistd.h>

namespace rux {
namespace {

using ItemList = std::vector<std::unique_ptr<CItem>>;

// The product directory's file of that name; on a file system that tells case apart, the name is
// matched without regard to case, as the files were named by people who never had to care.
std::string FindProductFile(const std::string& productDir, const std::string& name) {
    const std::string exact = productDir + "/" + name;
    if (::access(exact.c_str(), R_OK) == 0)
        return exact;
    std::string found;
    if (DIR* dir = ::opendir(productDir.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            if (EqualsNoCase(entry->d_name, name)) {
                found = productDir + "/" + entry->d_name;
                break;
            }
        ::closedir(dir);
    }
    return found;
}

bool ReadTemplateLines(const std::string& path, std::vector<std::string>& lines) {
    if (path.empty())
        return false;
    CStrStdioFile in;
    if (!in.Open(path))
        return false;
    std::string line;
    while (in.ReadLine(line)) {
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        lines.push_back(line);
    }
    return true;
}

std::unique_ptr<CItem> Line(std::string text = {}, const CSectionHeader* section = nullptr) {
    auto line = std::make_unique<CLine>(std::move(text));
    line->SetSection(section);
    return line;
}

// An empty line, the header, the body, the footer and two empty lines.
ItemList SectionBlock(CRUXDocument& document, const std::string& headerText, const std::vector<std::string>& body) {
    ItemList items;
    items.push_back(Line());
    auto header = std::make_unique<CSectionHeader>(headerText);
    header->SetId(document.TakeSectionId());
    CSectionHeader* h = header.get();
    items.push_back(std::move(header));
    for (const auto& text : body)
        items.push_back(Line(text, h));
    auto footer = std::make_unique<CSectionFooter>(h->GetText());
    footer->SetSection(h);
    items.push_back(std::move(footer));
    items.push_back(Line());
    items.push_back(Line());
    return items;
}

// Every section and every diagram preview, in one transaction: each one that changes is a record.
void SetAllFolds(CEditSession& session, bool open) {
    CRUXDocument& document = session.Document();
    const CObArrayEx& items = document.Items();
    document.BeginTransaction(&session);
    for (int i = 0; i < items.GetSize(); ++i) {
        if (items.GetAt(i)->GetType() == kItemSectionHeader)
            document.SetExpanded(i, open);
        else if (items.GetAt(i)->GetType() == kItemDiag)
            document.SetDiagramOpen(i, open);
    }
    document.EndTransaction();
    // Marked modified even when every fold already stood so: the command is a deliberate change
    // of how the program is stored, and the user expects Save to write it.
    document.SetModified(true);
}

} // namespace

bool ToggleFold(CEditSession& session) {
    CRUXDocument& document = session.Document();
    const CObArrayEx& items = document.Items();
    const int index = session.Caret().item;
    if (index < 0 || index >= items.GetSize())
        return false;
    const CItem* item = items.GetAt(index);
    if (item->GetType() != kItemDiag && item->GetType() != kItemSectionHeader)
        return false;
    session.SetCaret(session.Caret());
    document.BeginTransaction(&session);
    if (item->GetType() == kItemDiag)
        document.SetDiagramOpen(index, !static_cast<const CDiag*>(item)->IsOpen());
    else
        document.SetExpanded(index, !static_cast<const CSectionHeader*>(item)->IsExpanded());
    document.EndTransaction();
    return true;
}

void ExpandAll(CEditSession& session) {
    if (session.Document().Items().IsEmpty())
        return;
    session.SetCaret(session.Caret());
    CViewMetrics& metrics = session.Metrics();
    metrics.SetScroll(metrics.ScrollX(), 0); // the view shows the top
    SetAllFolds(session, true);
}

void MinimizeAll(CEditSession& session) {
    if (session.Document().Items().IsEmpty())
        return;
    const CTextPos caret = session.Caret();
    CViewMetrics& metrics = session.Metrics();
    metrics.SetScroll(metrics.ScrollX(), 0); // the view shows the top, as after Expand all
    SetAllFolds(session, false);
    session.SetCaret(caret);
}

std::vector<std::string> SectionTemplate(const std::string& productDir, const std::string& name) {
    std::vector<std::string> lines;
    if (!ReadTemplateLines(FindProductFile(productDir, name + ".tpl"), lines))
        ReadTemplateLines(FindProductFile(productDir, "default.tpl"), lines);
    return lines;
}

void InsertSection(CEditSession& session, const std::string& name, const std::string& productDir) {
    if (!session.CanEdit())
        return;
    CTextPos at = session.Caret();
    const CObArrayEx& items = session.Document().Items();
    // Above the header the caret is on, not inside its section.
    if (at.item > 0 && at.item < items.GetSize() && items.GetAt(at.item)->GetType() == kItemSectionHeader)
        --at.item;
    session.InsertItemsAtCaret(SectionBlock(session.Document(), name, SectionTemplate(productDir, name)), at);
}

CFbLimits FunctionBlockLimits(const std::string& productDir, const std::string& targetType) {
    CFbLimits limits;
    const std::string path = FindProductFile(productDir, "DRVDEF.HDW");
    if (path.empty())
        return limits;
    const CIniFile file(path);
    limits.maxParamIn = file.GetInt(targetType, "MaxParamIn", 256);
    limits.maxParamOut = file.GetInt(targetType, "MaxParamOut", 256);
    return limits;
}

// The target library has no call of its own for this: the value is made from what it tells of the
// type, bit 0 always set, bit 1 for fixed-point parameter operations, bit 2 for extended memory.
int FunctionBlockCapability(CTargetLibrary& target, const std::string& targetType) {
    CTargetTypeInfo info;
    if (targetType.empty() || !target.GetTypeInfos(targetType, info))
        return 1;
    return 1 | (info.fixedPointParamOps ? 2 : 0) | (info.extendedMemory ? 4 : 0);
}

bool InsertUserFunctionBlock(CEditSession& session, CFunctionBlockEditor& editor, CTargetLibrary& target,
                             const std::string& productDir) {
    if (!session.CanEdit())
        return false;
    const CPar* par = session.Document().GetHeader();
    const std::string type = par ? par->Header().Type : std::string();
    const CFbLimits limits = FunctionBlockLimits(productDir, type);
    std::string headerText;
    if (!editor.Edit(headerText, FunctionBlockCapability(target, type), limits.maxParamIn, limits.maxParamOut))
        return false;
    std::vector<std::string> body;
    ReadTemplateLines(FindProductFile(productDir, "udfb.tpl"), body);
    ItemList items = SectionBlock(session.Document(), headerText, body);
    CTextPos at = session.Caret();
    const CObArrayEx& list = session.Document().Items();
    if (at.item > 1 && at.item < list.GetSize() && list.GetAt(at.item)->GetType() == kItemSectionHeader)
        --at.item;
    session.InsertItemsAtCaret(std::move(items), at);
    session.Document().Reanalyse();
    return true;
}


const CDiag* InsertDiagram(CEditSession& session, int kind) {
    if (!session.CanEdit())
        return nullptr;
    CRUXDocument& document = session.Document();
    const CObArrayEx& items = document.Items();
    const int caret = session.Caret().item;
    if (caret < 0 || caret >= items.GetSize())
        return nullptr;
    const CItem* item = items.GetAt(caret);
    const CSectionHeader* section = item->GetType() == kItemSectionHeader ? static_cast<const CSectionHeader*>(item)
                                                                          : item->GetSection();
    if (!section)
        return nullptr;
    int header = caret;
    while (header > 0 && items.GetAt(header) != section)
        --header;
    // On the header the diagram becomes the section's first row, anywhere else it goes at the caret.
    const int at = item->GetType() == kItemSectionHeader ? caret + 1 : caret;
    auto diagram = std::make_unique<CDiag>(kind);
    diagram->SetTitle(document.NewDiagramTitle());
    diagram->SetSection(section);
    const CDiag* inserted = diagram.get();
    ItemList block;
    block.push_back(std::move(diagram));
    block.push_back(Line({}, section));
    if (!session.BeginEdit())
        return nullptr;
    // The new rows must show: the section opens first (that part is not undone).
    document.SetExpanded(header, true);
    session.InsertItemsAtCaret(std::move(block), {1, at});
    session.EndEdit();
    return inserted;
}

// The call is written "outputs = Name(inputs)". The output part is never bracketed: RUX writes
// several outputs as a plain list before "=", as function block headers do. A block with no
// outputs is called as "Name(inputs)". Unnamed inputs of a block with a variable number of inputs
// follow a "<" as I1, I2, ...
std::string FunctionBlockCallText(const CFbCallSpec& block, const std::string& outputPart) {
    std::string text;
    std::string outputs = outputPart;
    if (outputs.empty())
        for (size_t i = 0; i < block.outputs.size(); ++i)
            outputs += (i ? ", " : "") + block.outputs[i];
    if (!outputs.empty())
        text = outputs + " = ";
    text += block.name + "(";
    for (size_t i = 0; i < block.inputs.size(); ++i)
        text += (i ? ", " : "") + block.inputs[i];
    if (block.variableInputs) {
        text += block.inputs.empty() ? "<" : ", <";
        for (int i = 1; i <= block.variableCount; ++i)
            text += (i > 1 ? ", I" : "I") + std::to_string(i);
    }
    return text + ")";
}

// What the user typed before the caret on the current line (up to a comment) decides the outputs:
// "speed% = " followed by the call gives "speed% = Ramp(...)". The typed part is then taken off the
// line, so the call line stands in its place and the rest of the line stays below it.
void InsertFunctionBlockCall(CEditSession& session, const CFbCallSpec& block) {
    if (!session.CanEdit())
        return;
    const CObArrayEx& items = session.Document().Items();
    if (!session.BeginEdit())
        return;
    if (session.HasSelection())
        session.DeleteSelection();
    CTextPos caret = session.Caret();
    std::string outputPart;
    const CSectionHeader* section = nullptr;
    if (caret.item < items.GetSize()) {
        const CItem* item = items.GetAt(caret.item);
        if (item->GetType() == kItemLine) {
            const std::string& text = item->GetText();
            std::string before = text.substr(0, std::min(text.size(), static_cast<size_t>(caret.col - 1)));
            before = before.substr(0, std::min(before.find(';'), before.find("//")));
            std::string_view typed = TrimBlanks(before);
            if (!typed.empty() && typed.back() == '=') {
                typed.remove_suffix(1);
                outputPart.assign(TrimBlanks(typed));
                session.ChangeText(caret.item, text.substr(before.size()));
                caret.col = 1;
            }
        }
        section = item->GetType() == kItemSectionHeader ? nullptr : item->GetSection();
    }
    auto line = std::make_unique<CLine>(FunctionBlockCallText(block, outputPart));
    line->SetSection(section);
    session.InsertItem(std::min(caret.item, items.GetSize()), std::move(line));
    session.SetCaretInEdit({caret.col, std::min(caret.item + 1, items.GetSize() - 1)});
    session.EndEdit();
}

} // namespace rux
