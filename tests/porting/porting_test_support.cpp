#include "porting/porting_test_support.h"

#include "document/program_file.h"
#include "porting/porting_issue.h"

#include <cstdio>
#include <stdexcept>

namespace rux::test {

const char kSmallBitternCatalogue[] = R"(<?xml version="1.0"?>
<Bittern2Issues>
  <Tsk name="Clock" icn="5" hlp="Task_Clock.htm"/>
  <Tsk name="Event3" icn="1" hlp="Task_Event3.htm"/>
  <Fb name="_SlotRead" icn="1" hlp="FB_SlotRead.htm"/>
  <Pr name="Motor rated current" menu="5.07:" icn="3" hlp="Menu05.htm"/>
  <Pr name="Ramp mode select" menu="2.04:" icn="2" hlp="Menu02.htm"/>
  <Pr name="Speed feedback" menu="3.02:" icn="1" hlp="Menu03.htm"/>
  <Ptr name="Parameter pointer" icn="1" hlp="ParameterPointers.htm"/>
</Bittern2Issues>
)";

const char kSmallAlbatrossCatalogue[] = R"(<?xml version="1.0"?>
<AlbatrossQIssues>
  <Fb name="_ENCINIT" icn="5" hlp="FB_ENCINIT.htm"/>
  <Fb name="_SXTIMER" icn="1" hlp="FB_SXTIMER.htm"/>
  <Fb name="_ENCSYNC" icn="2" hlp="FB_ENCSYNC.htm"/>
  <Pr name="Drive encoder type" menu="3.14:" icn="5" hlp="Menu03.htm"/>
</AlbatrossQIssues>
)";

void BuildProgram(CProgram& program, const std::vector<std::string>& rows) {
    const CTempDir dir;
    if (!Load(program, dir.Write("p.rux", ProgramFileBytes(rows)))) throw std::runtime_error("cannot read the rows");
}

CScanned::CScanned(const std::vector<std::string>& rows, EPortingCatalogue which, const char* catalogue) {
    if (!catalogue)
        catalogue = which == EPortingCatalogue::Bittern ? kSmallBitternCatalogue : kSmallAlbatrossCatalogue;
    dir.Write(CatalogueFileName(which), catalogue);
    BuildProgram(program, rows);
    ok = list.Scan(&program, which, dir.Path(), sink);
}

std::string DumpIssue(CPortingIssue& issue) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%s %d:%d/%d s%d [%d,%d] ", issue.KindName(), issue.GetLine(),
                  issue.GetColumn(), issue.GetLength(), issue.StoredState(), issue.GetDiagramColumn(),
                  issue.GetDiagramRow());
    return buffer + issue.GetLocation();
}

std::vector<std::string> DumpInOrder(const CPortingIssueList& list) {
    std::vector<std::string> out;
    for (CPortingIssue* issue : list.InPositionOrder())
        out.push_back(DumpIssue(*issue));
    return out;
}

} // namespace rux::test
