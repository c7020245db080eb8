#include "document/header_record.h"

#include "h2tgt.h"

#include <cstring>

namespace rux {
namespace {

template <size_t N> void CopyOut(char (&dest)[N], const std::string& value) {
    const size_t n = value.size() < N - 1 ? value.size() : N - 1;
    std::memcpy(dest, value.data(), n);
    dest[n] = '\0';
}

template <size_t N> void CopyIn(std::string& value, const char (&src)[N]) {
    const size_t n = ::strnlen(src, N);
    const std::string_view incoming(src, n);
    if (value.size() >= N - 1 && incoming == std::string_view(value).substr(0, N - 1))
        return; // our longer value, clipped on the way out: keep it whole
    value.assign(incoming);
}

} // namespace

void CRuxHeader::ToRecord(_s_RuxHeaderInfo& r) const {
    std::memset(&r, 0, sizeof r);
    CopyOut(r.Author, Author);
    CopyOut(r.Company, Company);
    CopyOut(r.Title, Title);
    CopyOut(r.Version, Version);
    CopyOut(r.Drive, Drive);
    CopyOut(r.Target, Target);
    CopyOut(r.Type, Type);
    r.Address = Address;
    r.Debug = Debug;
    r.Source = Source;
    r.V3 = V3;
    CopyOut(r.Name, Name);
    CopyOut(r.Group, Group);
    r.PosHard = PosHard;
    r.PosLink = PosLink;
    r.OptionNumber = OptionNumber;
    CopyOut(r.Network, Network);
    CopyOut(r.Descriptor, Descriptor);
    r.H2Lite = H2Lite;
    r.FloatingPoint = FloatingPoint;
    r.ClipParam = ClipParam;
    CopyOut(r.Library, Library);
    CopyOut(r.RefLibs, RefLibs);
    CopyOut(r.OldLib, OldLib);
    r.UserProgEnabled = UserProgEnabled;
    CopyOut(r.Reserved, Reserved);
    r.Reserved1 = Reserved1;
    r.Reserved2 = Reserved2;
    r.Clonable = Clonable;
}

void CRuxHeader::FromRecord(const _s_RuxHeaderInfo& r) {
    CopyIn(Author, r.Author);
    CopyIn(Company, r.Company);
    CopyIn(Title, r.Title);
    CopyIn(Version, r.Version);
    CopyIn(Drive, r.Drive);
    CopyIn(Target, r.Target);
    CopyIn(Type, r.Type);
    Address = r.Address;
    Debug = r.Debug;
    Source = r.Source;
    V3 = r.V3;
    CopyIn(Name, r.Name);
    CopyIn(Group, r.Group);
    PosHard = r.PosHard;
    PosLink = r.PosLink;
    OptionNumber = r.OptionNumber;
    CopyIn(Network, r.Network);
    CopyIn(Descriptor, r.Descriptor);
    H2Lite = r.H2Lite;
    FloatingPoint = r.FloatingPoint;
    ClipParam = r.ClipParam;
    CopyIn(Library, r.Library);
    CopyIn(RefLibs, r.RefLibs);
    CopyIn(OldLib, r.OldLib);
    UserProgEnabled = r.UserProgEnabled;
    CopyIn(Reserved, r.Reserved);
    Reserved1 = r.Reserved1;
    Reserved2 = r.Reserved2;
    Clonable = r.Clonable;
}

} // namespace rux
