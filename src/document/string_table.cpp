#include "document/string_table.h"

#include <algorithm>
#include <iterator>

namespace rux {
namespace {

struct CStringEntry {
    int id;
    const char* text;
};

// Sorted by number: LoadString searches it by halves.
constexpr CStringEntry kStrings[] = {
    {kStrLightEditionFile, "This is a HalmLite RUX file. Please use HalmLite to edit this file."},
    {kStrInvalidLibraryName,
     "Invalid Library name.  \n\nMust be of the form - [letter]+[one or more alpha-numeric chars]"},
    {kStrLibraryFolderExists, "The Library folder already exists."},
    {kStrLibraryTitle, "Library %1 (%2)"},
    {kStrLibraryNameMissing, "You must specify a name for the library."},
    {kStrLibraryFileFailed, "Failed to create Library file."},
    {kStrTipUserProgEnabled, "Allows a user program to be built and downloaded for a target"},
    {kStrTipDebug, "Allow debugging facilities such as single-stepping and breakpoints"},
    {kStrTipV3, "Use extra RAM and flash memory available to VQ7Z drives"},
    {kStrTipSource, "Download source code to target so that it can be uploaded at a later date"},
    {kStrTipBuildAsLibrary, "Build the RUX program as a library and not an executable user program"},
    {kStrTipFixedPoint, "Make parameter reading and writing a fixed point operation as in HalmLite"},
    {kStrTipClonable, "Allow the user program to be cloned to another device such as a smartcard"},
};

static_assert(std::is_sorted(std::begin(kStrings), std::end(kStrings),
                             [](const CStringEntry& a, const CStringEntry& b) { return a.id < b.id; }));

} // namespace

const char* LoadString(int id) {
    const auto* it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                      [](const CStringEntry& e, int key) { return e.id < key; });
    return it != std::end(kStrings) && it->id == id ? it->text : "";
}

} // namespace rux
