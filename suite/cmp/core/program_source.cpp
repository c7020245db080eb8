#include "core/program_source.h"

#include "document/line_input.h"
#include "document/program_reader.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace rux::cmp {

namespace {

constexpr std::size_t kBlockSize = 256 * 1024;

// Fills a ProgramSource as the document's item sink would fill a program, item for item.
class SourceSink final : public CProgramSink {
public:
    // Texts that lie in `file` (the bytes the source will keep) are taken as they stand.
    explicit SourceSink(ProgramSource& source, std::string_view file = {})
        : m_source(source), m_texts(*source.texts), m_file(reinterpret_cast<std::uintptr_t>(file.data())),
          m_fileEnd(m_file + file.size()) {}

    void Header(CRuxHeader&& header) override {
        if (m_source.items.empty())
            m_source.header = std::move(header);
        m_source.items.push_back({{}, nullptr, kHeaderItem});
    }
    void Text(std::string_view text) override {
        const auto at = reinterpret_cast<std::uintptr_t>(text.data());
        const bool inFile = at >= m_file && at + text.size() <= m_fileEnd && m_file != m_fileEnd;
        m_source.items.push_back({inFile ? text : m_texts.Keep(text), nullptr, kTextItem});
    }
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
    std::uintptr_t m_file;
    std::uintptr_t m_fileEnd;
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
    // The file is read whole into one buffer that the source keeps: nearly every text line is
    // then a view into it, where a copy of each would touch as many fresh bytes again.
    CStrStdioFile in;
    if (!in.OpenWhole(path)) {
        const int error = errno;
        if (problem)
            *problem = in.Problem();
        source = ProgramSource();
        errno = error;
        return false;
    }
    // A program line takes some 30 bytes of the file: room for the items at once saves growing the
    // vector a dozen times.
    source.items.reserve(in.Whole().size() / 24);
    SourceSink sink(source, in.Whole());
    const CProgramRead read = ReadProgram(in, sink, nullptr);
    if (const int error = in.ReadError()) {
        // A program cut short by a failing disk must not pass for the whole file.
        if (problem)
            *problem = in.Problem();
        source = ProgramSource();
        errno = error;
        return false;
    }
    const std::size_t size = in.Whole().size();
    source.texts->KeepFile(in.TakeWhole(), size);
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
