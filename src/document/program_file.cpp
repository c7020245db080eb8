#include "document/program_file.h"

#include "document/header_item.h"
#include "document/line_input.h"
#include "document/output_stream.h"
#include "document/program.h"
#include "document/program_reader.h"
#include "target/suite_notifier.h"
#include "target/target_library.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rux {

bool Load(CProgram& program, const std::string& path, const CProgramFileServices& services) {
    program.Clear();
    CStrStdioFile in;
    if (!in.Open(path))
        return false;

    std::string first;
    if (in.ReadLine(first) && StartsWithNoCase(first, kProgramHeaderLine))
        program.SetFormat(true);
    else
        in.Rewind();

    ItemVector items;
    CProgramReader reader(in, program.SectionIdCounter(), services.target);
    CReadResult result;
    if (program.HasFormat())
        result = reader.ReadTopLevel(items, CProgramReader::EMode::File);
    else
        reader.ReadPlainText(items);
    in.Close();

    CObArrayEx& list = program.Items();
    list.AdoptNoLayout(std::move(items));

    if (result.v3Fired) {
        if (CPar* header = program.GetHeader(); header && services.target) {
            CTargetTypeInfo info;
            if (services.target->GetTypeInfos(header->Header().Type, info) && info.extendedMemory)
                header->Header().V3 = 1;
        }
    }
    list.Layout(0, true);

    if (program.HasFormat()) {
        if (result.v3Fired && Save(program, path, services) && services.notifier)
            services.notifier->Notify(kSuiteMainTool, kMsgHeaderChanged, path);
        if (CPar* header = program.GetHeader(); header && services.target)
            services.target->ReadHeader(path, header->Header());
        for (int index : result.bookmarks)
            if (index >= 0 && index < list.GetSize())
                list.GetAt(index)->SetMark(kMarkBookmark);
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
    for (const auto& item : items)
        item->WriteMarkRef(out, index++, kMarkBookmark);
    out << "#endinfo\r\n#info=BmkErrRef\r\n";
    index = 0;
    for (const auto& item : items)
        item->WriteMarkRef(out, index++, kMarkError);
    out << "#endinfo\r\n";
    index = 0;
    for (const auto& item : items)
        item->WriteItem(index++, out, nullptr);
}

bool WriteFileAtomically(const std::string& path, const std::function<bool(COstream&)>& write) {
    if (path.empty())
        return false;
    // Write through a link to the file it names, so the link survives the save.
    std::string target = path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved))
        target = resolved;

    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp = folder + "/." + base + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;

    struct stat old {};
    mode_t mode;
    if (::stat(target.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Not our file to give away; it stays ours, as a new file would.
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = ::fchmod(fd, mode) == 0;
    {
        CFileOstream out(fd);
        ok = ok && write(out);
        ok = out.Flush() && ok;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), target.c_str()) == 0)
        return true;
    const int saved = errno;
    ::unlink(temp.c_str());
    errno = saved;
    return false;
}

bool Save(CProgram& program, const std::string& path, const CProgramFileServices& services) {
    if (path.empty())
        return false;
    if (services.writeBackDiagrams)
        services.writeBackDiagrams();
    if (services.notifier)
        services.notifier->Notify(kSuiteMainTool, kMsgDocumentSaving, path);
    return WriteFileAtomically(path, [&](COstream& out) {
        WriteProgram(program, out);
        return true;
    });
}

} // namespace rux
