#include "core/program_source.h"

#include "document/line_input.h"
#include "document/program_reader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace rux::cmp {

namespace {

constexpr std::size_t kBlockSize = 256 * 1024;

// Fills a ProgramSource as the document's item sink would fill a program, item for item.
class SourceSink final : public CProgramSink {
public:
    explicit SourceSink(ProgramSource& source) : m_source(source), m_texts(*source.texts) {}

    void Header(CRuxHeader&& header) override {
        if (m_source.items.empty())
            m_source.header = std::move(header);
        m_source.items.push_back({{}, nullptr, kHeaderItem});
    }
    void Text(std::string_view text) override { m_source.items.push_back({m_texts.Keep(text), nullptr, kTextItem}); }
    void Diagram(CDiagramRecord&& diagram) override {
        SourceItem item{{}, nullptr, kDiagramItem};
        if (!diagram.payload.empty())
            item.text = m_texts.KeepString(std::move(diagram.payload));
        if (!diagram.title.empty())
            item.diagramTitle = &m_texts.KeepString(std::move(diagram.title));
        m_source.items.push_back(item);
    }
    void BeginSection() override {
        m_section = m_source.items.size();
        m_source.items.push_back({{}, nullptr, kSectionItem});
    }
    void EndSection(CSectionRecord&& section) override {
        const std::string_view title = m_texts.Keep(section.name);
        m_source.items[m_section].text = title;
        m_source.items.push_back({title, nullptr, kFooterItem});
    }

private:
    ProgramSource& m_source;
    SourceTexts& m_texts;
    std::size_t m_section = 0;
};

} // namespace

std::string_view SourceTexts::KeepInNewBlock(std::string_view text) {
    if (text.empty())
        return {};
    // A long text gets a block of its own; the current block goes on being filled.
    if (text.size() > kBlockSize / 4) {
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
        std::memcpy(m_blocks.back().get(), text.data(), text.size());
        return {m_blocks.back().get(), text.size()};
    }
    m_blocks.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
    m_free = m_blocks.back().get();
    m_left = kBlockSize;
    return Keep(text);
}

const std::string& SourceTexts::KeepString(std::string&& text) { return m_strings.emplace_back(std::move(text)); }

bool ReadProgramSource(const std::string& path, ProgramSource& source, std::string* problem) {
    source = ProgramSource();
    // A program line takes some 30 bytes of the file: room for the items at once saves growing the
    // vector a dozen times.
    std::error_code error;
    if (const auto bytes = std::filesystem::file_size(path, error); !error)
        source.items.reserve(static_cast<std::size_t>(bytes / 24));
    SourceSink sink(source);
    CProgramRead read;
    if (!ReadProgramFile(path, sink, nullptr, read, problem)) {
        const int error = errno;
        source = ProgramSource();
        errno = error;
        return false;
    }
    source.format = read.format;
    source.v3Fired = read.marks.v3Fired;
    return true;
}

ProgramSource ProgramSourceFromText(std::string_view text) {
    ProgramSource source;
    SourceSink sink(source);
    CStrMemFile in(text);
    const CProgramRead read = ReadProgram(in, sink, nullptr);
    source.format = read.format;
    source.v3Fired = read.marks.v3Fired;
    return source;
}

} // namespace rux::cmp
