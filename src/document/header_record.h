// The node properties carried by a program's header item.
#pragma once

#include <cstdint>
#include <string>

struct _s_RuxHeaderInfo;

namespace rux {

// Field order follows the record exchanged with the target library.
struct CRuxHeader {
    std::string Author;
    std::string Company;
    std::string Title;
    std::string Version;
    std::string Drive;
    std::string Target;
    std::string Type;
    int32_t Address = 0;
    int32_t Debug = 0;
    int32_t Source = 0;
    int32_t V3 = 0;
    std::string Name;
    std::string Group;
    int32_t PosHard = 0;
    int32_t PosLink = 0;
    int32_t OptionNumber = 0;
    std::string Network;
    std::string Descriptor; // LF line ends
    int32_t H2Lite = 0;     // the light-edition flag
    int32_t FloatingPoint = 0;
    int32_t ClipParam = 0;
    std::string Library;
    std::string RefLibs;
    std::string OldLib;
    int32_t UserProgEnabled = 0;
    std::string Reserved;
    int32_t Reserved1 = 0;
    int32_t Reserved2 = 0;
    int32_t Clonable = 0;

    bool operator==(const CRuxHeader&) const = default;

    // Copies into the fixed-size C record (texts clipped to the record's buffers).
    void ToRecord(_s_RuxHeaderInfo& record) const;
    // Takes the library's answer. A text field whose record value is just this header's value
    // clipped to the buffer keeps the full value, so a round trip never shortens a long text.
    void FromRecord(const _s_RuxHeaderInfo& record);
};

} // namespace rux
