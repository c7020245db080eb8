// The texts the document and target code show to the user, by resource number.
#pragma once

namespace rux {

// Resource numbers of the texts below; the numbers are the ones the suite's tools share.
enum EStringId : int {
    kStrLightEditionFile = 62074,
    kStrInvalidLibraryName = 62078,
    kStrLibraryFolderExists = 62079,
    kStrLibraryTitle = 62081,
    kStrLibraryNameMissing = 62083,
    kStrLibraryFileFailed = 62084,
    kStrTipUserProgEnabled = 62134,
    kStrTipDebug = 62135,
    kStrTipV3 = 62136,
    kStrTipSource = 62137,
    kStrTipBuildAsLibrary = 62138,
    kStrTipFixedPoint = 62139,
    kStrTipClonable = 62140,
};

// The text of a resource number; an empty text for a number the table does not hold.
const char* LoadString(int id);

} // namespace rux
