// Reading and writing settings files in the classic profile format ([Section] and Key=Value lines).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rux {

// Every call reads the file afresh, as the classic profile functions do, so two objects over the same
// file (or another tool of the suite writing it) never disagree. Section and key names are compared
// without regard to ASCII case; blanks around names and values are trimmed; the first matching key of
// the first matching section wins; a key whose value is empty counts as absent. A file that is missing
// or cannot be read gives the caller's defaults, and a write that cannot be done is dropped: settings
// must never stop the editor. Writes change only the one line they concern and keep comments, order
// and unknown sections as they were.
class CIniFile {
public:
    // The classic profile functions hand out text through a buffer of this size, terminator included.
    static constexpr std::size_t kMaxValue = 255;

    explicit CIniFile(std::string path);
    // A settings file held in memory; writes change Text(). Used for parsing text that arrived from
    // elsewhere and by tests that need no disk.
    static CIniFile FromText(std::string text);
    // Torvel.ini in the product directory.
    static CIniFile ProductSettings();

    const std::string& Path() const { return m_path; }
    bool IsInMemory() const { return m_inMemory; }
    // The whole current content: the memory text, or the file as it is on disk now.
    std::string Text() const;

    // The trimmed value, or nothing when the key is missing or its value is empty.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // The value (at most kMaxValue - 1 characters), or the default when absent.
    std::string GetString(std::string_view section, std::string_view key, std::string_view def) const;
    // The value read by ParseInt, or the default when absent.
    int GetInt(std::string_view section, std::string_view key, int def) const;

    // Each returns whether the file now holds the value; callers that follow the "ignore failed
    // writes" rule simply drop the result.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInt(std::string_view section, std::string_view key, int value);   // "%d"
    bool WriteLong(std::string_view section, std::string_view key, long value); // "%ld"

    // The decimal conversion used for integer values: leading blanks, an optional sign and digits;
    // anything after the digits is ignored, text without digits gives 0, and out-of-range values
    // saturate at the 32-bit limits.
    static int ParseInt(std::string_view text);

private:
    CIniFile() = default;
    bool Load(std::string& text) const;
    bool Store(const std::string& text);

    std::string m_path;
    std::string m_text;
    bool m_inMemory = false;
};

} // namespace rux
