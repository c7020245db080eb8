#include "document/header_row.h"

#include "document/view_metrics.h"
#include "target/target_library.h"

namespace rux {

CHeaderRow ComposeHeaderRow(const CRuxHeader& header, CTargetLibrary& target, const CViewMetrics& metrics) {
    std::string drive = target.GetTypeDisplayName(header.Type);
    if (drive.empty()) drive = header.Drive;
    CHeaderRow row;
    row.lines = {{{"$AUTHOR", header.Author},
                  {"$COMPANY", header.Company},
                  {"$TITLE", header.Title},
                  {"$VERSION", header.Version},
                  {"$DRIVE", std::move(drive)}}};
    // "$COMPANY" is the widest label; the values line up 10 pixels right of it.
    row.valueX = metrics.TextWidth("$COMPANY") + 10;
    return row;
}

} // namespace rux
