// Fuzzes the drive's frame decoder: the first bytes choose where the stream is cut into chunks,
// and the frames decoded chunk by chunk must equal those decoded from the whole stream.
#include "frame.h"
#include "messages.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace rux::drive;
    if (size < 2) return 0;
    const size_t cuts = data[0] % 8;
    if (size < 1 + 2 * cuts) return 0;
    std::vector<size_t> chunks;
    for (size_t i = 0; i < cuts; ++i)
        chunks.push_back(static_cast<size_t>(data[1 + 2 * i]) | static_cast<size_t>(data[2 + 2 * i]) << 8);
    const uint8_t* stream = data + 1 + 2 * cuts;
    const size_t length = size - 1 - 2 * cuts;

    for (FrameTypeFilter filter : {IsRequestType, IsReplyType}) {
        CFrameDecoder whole(filter);
        std::vector<CFrame> a;
        const bool okWhole = whole.Feed(stream, length, a);

        CFrameDecoder split(filter);
        std::vector<CFrame> b;
        bool okSplit = true;
        size_t at = 0;
        for (size_t c : chunks) {
            const size_t n = std::min(c, length - at);
            okSplit = split.Feed(stream + at, n, b) && okSplit;
            at += n;
        }
        okSplit = split.Feed(stream + at, length - at, b) && okSplit;

        Check(okWhole == okSplit);
        Check(a.size() == b.size());
        for (size_t i = 0; i < a.size(); ++i) {
            Check(a[i].type == b[i].type && a[i].id == b[i].id && a[i].payload == b[i].payload);
            Check(a[i].payload.size() <= kMaxPayload);
            CAnswer answer;
            if (DecodeAnswer(a[i].payload, answer)) Check(EncodeAnswer(answer) == a[i].payload);
            CPayloadReader r(a[i].payload);
            while (r.Ok() && !r.Done())
                (void)r.Str();
        }
    }
    return 0;
}
