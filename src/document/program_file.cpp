#include "document/program_file.h"

#include "document/header_item.h"
#include "document/item_sink.h"
#include "document/line_input.h"
#include "document/output_stream.h"
#include "document/program.h"
#include "document/program_reader.h"
#include "fileio/safe_file.h"
#include "target/suite_notifier.h"
#include "target/target_library.h"

#include <cerrno>

namespace rux {

bool Load(CProgram& program, const std::string& path, const CProgramFileServices& services, std::string* problem) {
    program.Clear();
    ItemVector items;
    CItemSink sink(items, program.SectionIdCounter());
    CProgramRead read;
    if (!ReadProgramFile(path, sink, services.target, read, problem)) {
        const int error = errno;
        program.Clear();
        errno = error;
        return false;
    }
    program.SetFormat(read.format);
    const CReadResult& result = read.marks;

    // The reader's items are finished here before and while the program takes them: nobody looks
    // at the program before Load returns.
    CPar* header = !items.empty() && items.front()->GetType() == kItemPar ? static_cast<CPar*>(items.front().get())
                                                                         : nullptr;
    if (result.v3Fired && header && services.target) {
        CTargetTypeInfo info;
        if (services.target->GetTypeInfos(header->Header().Type, info) && info.extendedMemory)
            header->Header().V3 = 1;
    }
    program.Items().AdoptNoLayout(std::move(items));

    if (program.HasFormat()) {
        if (result.v3Fired && Save(program, path, services) && services.notifier)
            services.notifier->Notify(kSuiteMainTool, kMsgHeaderChanged, path);
        if (header && services.target)
            services.target->ReadHeader(path, header->Header());
        // After the rewrite: a converted file keeps no bookmarks, the loaded program does.
        CObArrayEx& list = program.Items();
        for (int index : result.bookmarks)
            if (index >= 0 && index < list.GetSize())
                list.MutableAt(index)->SetMark(kMarkBookmark);
    }
    return true;
}

void WriteProgram(const CProgram& program, COstream& out) {
    const CObArrayEx& items = program.Items();
    bool plain = !program.HasFormat();
    if (plain)
        for (const auto& item : items)
            if (item->GetType() != kItemLine) {
                plain = false;
                break;
            }
    if (plain) {
        int index = 0;
        for (const auto& item : items)
            item->WriteText(index++, out, nullptr);
        return;
    }
    out << kProgramHeaderLine << "\r\n#info=BmkRef\r\n";
    int index = 0;
    // Marked rows are few: ask the flag before making the call.
    for (const auto& item : items) {
        if (item->HasBookmark())
            item->WriteMarkRef(out, index, kMarkBookmark);
        ++index;
    }
    out << "#endinfo\r\n#info=BmkErrRef\r\n";
    index = 0;
    for (const auto& item : items) {
        if (item->HasErrorMark())
            item->WriteMarkRef(out, index, kMarkError);
        ++index;
    }
    out << "#endinfo\r\n";
    index = 0;
    for (const auto& item : items)
        item->WriteItem(index++, out, nullptr);
}

CWriteResult SaveProgramFile(const CProgram& program, const std::string& path, const CProgramFileServices& services) {
    if (path.empty()) return WriteFileSafely(path, std::string_view());
    if (services.writeBackDiagrams)
        services.writeBackDiagrams();
    if (services.notifier)
        services.notifier->Notify(kSuiteMainTool, kMsgDocumentSaving, path);
    CWriteResult result = WriteFileSafely(path, [&](int fd) {
        CFileOstream out(fd);
        WriteProgram(program, out);
        return out.Flush();
    });
    errno = result.error;
    return result;
}

bool Save(const CProgram& program, const std::string& path, const CProgramFileServices& services) {
    return SaveProgramFile(program, path, services).ok;
}

} // namespace rux
