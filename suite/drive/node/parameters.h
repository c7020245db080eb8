// The drive's parameter database: menus 0..99 x parameters 0..99 of 32-bit raw values.
#ifndef RUX_DRIVE_PARAMETERS_H
#define RUX_DRIVE_PARAMETERS_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace rux::drive {

struct CParameter {
    int32_t value = 0;
    int32_t defaultValue = 0;
    int32_t minimum = INT32_MIN;
    int32_t maximum = INT32_MAX;
    int decimals = 0;  // the raw value holds this many decimal places
    bool readOnly = false;
    std::string name;  // empty for a parameter the data file does not describe
};

enum class EParamResult { Ok, NoSuchParameter, OutOfRange, ReadOnly };

class CParameterDb {
public:
    static constexpr int kMenus = 100;
    static constexpr int kParams = 100;

    // Every parameter plain read-write, full range, value 0.
    CParameterDb();

    // Reads the defaults file (see data/drive_parameters.ini). Lines it cannot read are skipped and
    // counted in *skipped; a missing file leaves the plain defaults and answers false.
    bool LoadDefaults(const std::string& path, int* skipped = nullptr);
    // Parses the defaults from text; the same rules as LoadDefaults.
    int LoadDefaultsText(const std::string& text);

    // Back to the defaults (a drive reset).
    void Reset();

    static bool Valid(int menu, int param) { return menu >= 0 && menu < kMenus && param >= 0 && param < kParams; }
    const CParameter* Find(int menu, int param) const;
    EParamResult Read(int menu, int param, int32_t& raw) const;
    // A write from outside (the editor, a program): refused when read-only or outside min..max.
    EParamResult Write(int menu, int param, int32_t raw);
    // The drive's own update of a read-only value (the motor model, status bits); clamps to range.
    void Set(int menu, int param, int32_t raw);
    int32_t Get(int menu, int param) const;

    // The values that differ from their defaults, for the node's state file: "m.pp=value" lines.
    std::string SaveChanged() const;
    void LoadChanged(const std::string& text);

private:
    std::vector<CParameter> m_params;  // kMenus * kParams, menu-major
    CParameter& At(int menu, int param) { return m_params[static_cast<std::size_t>(menu * kParams + param)]; }
    const CParameter& At(int menu, int param) const { return m_params[static_cast<std::size_t>(menu * kParams + param)]; }
};

// Parses "#m.pp", "#INTm.pp" or "m.pp" (menu and parameter 0..99). false for anything else.
bool ParseParameterName(const std::string& text, int& menu, int& param, bool& rawForm);

} // namespace rux::drive

#endif
