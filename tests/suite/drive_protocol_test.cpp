// The drive's frame decoder and payload fields: splits, limits and damaged input.
#include "frame.h"
#include "messages.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace rux::drive {
namespace {

std::vector<CFrame> DecodeInChunks(const std::string& bytes, const std::vector<std::size_t>& cuts, bool* ok) {
    CFrameDecoder d(IsRequestType);
    std::vector<CFrame> out;
    std::size_t at = 0;
    *ok = true;
    for (std::size_t cut : cuts) {
        *ok = d.Feed(reinterpret_cast<const uint8_t*>(bytes.data()) + at, cut - at, out) && *ok;
        at = cut;
    }
    *ok = d.Feed(reinterpret_cast<const uint8_t*>(bytes.data()) + at, bytes.size() - at, out) && *ok;
    return out;
}

TEST(DriveFrames, EverySplitOfTwoFramesDecodesTheSame) {
    CPayloadWriter w;
    w.Str("3").Str("KESTREL").U32(7).I32(-15).F64(2.5).Blob(std::string("\0\xff\x01", 3));
    const std::string stream = EncodeFrame(kReqCommand, 41, w.Data()) + EncodeFrame(kReqLog, 0xDEADBEEF, "");
    for (std::size_t a = 0; a <= stream.size(); ++a) {
        for (std::size_t b = a; b <= stream.size(); b += 5) {
            bool ok = false;
            const std::vector<CFrame> f = DecodeInChunks(stream, {a, b}, &ok);
            ASSERT_TRUE(ok) << a << "," << b;
            ASSERT_EQ(f.size(), 2u) << a << "," << b;
            EXPECT_EQ(f[0].type, kReqCommand);
            EXPECT_EQ(f[0].id, 41u);
            EXPECT_EQ(f[0].payload, w.Data());
            EXPECT_EQ(f[1].type, kReqLog);
            EXPECT_EQ(f[1].id, 0xDEADBEEFu);
            EXPECT_TRUE(f[1].payload.empty());
        }
    }
}

TEST(DriveFrames, BadHeadersFailAndStayFailed) {
    const std::string good = EncodeFrame(kReqHello, 1, "abcd");
    struct Case {
        const char* name;
        std::size_t offset;
        char byte;
        const char* error;
    } cases[] = {
        {"magic", 0, 'X', "bad magic"},
        {"second magic byte", 1, 'R', "bad magic"},
        {"version", 2, 2, "unsupported protocol version 2"},
        {"reply type from a client", 3, static_cast<char>(kRepResult), "unknown frame type 128"},
        {"type zero", 3, 0, "unknown frame type 0"},
        {"length above the limit", 11, 0x7f, "above the limit"},
    };
    for (const Case& c : cases) {
        std::string bad = good;
        bad[c.offset] = c.byte;
        CFrameDecoder d(IsRequestType);
        std::vector<CFrame> out;
        EXPECT_FALSE(d.Feed(reinterpret_cast<const uint8_t*>(bad.data()), bad.size(), out)) << c.name;
        EXPECT_NE(d.Error().find(c.error), std::string::npos) << c.name << ": " << d.Error();
        EXPECT_TRUE(out.empty()) << c.name;
        // A good frame after a bad one is not taken: the stream cannot be trusted any more.
        EXPECT_FALSE(d.Feed(reinterpret_cast<const uint8_t*>(good.data()), good.size(), out)) << c.name;
        EXPECT_TRUE(out.empty()) << c.name;
    }
}

TEST(DriveFrames, LengthAtTheLimitIsWaitedFor) {
    std::string header = EncodeFrame(kReqDownload, 9, "");
    const uint32_t n = kMaxPayload;
    for (int i = 0; i < 4; ++i)
        header[8 + i] = static_cast<char>((n >> (8 * i)) & 0xff);
    CFrameDecoder d(IsRequestType);
    std::vector<CFrame> out;
    EXPECT_TRUE(d.Feed(reinterpret_cast<const uint8_t*>(header.data()), header.size(), out));
    EXPECT_TRUE(out.empty());
    const std::string part(1000, 'x');
    EXPECT_TRUE(d.Feed(reinterpret_cast<const uint8_t*>(part.data()), part.size(), out));
    EXPECT_TRUE(out.empty());
}

TEST(DrivePayload, ReadsPastTheEndFailWithoutReadingGarbage) {
    struct Case {
        const char* name;
        std::string data;
        int reads;  // 0 U32, 1 Str, 2 Blob, 3 F64
    } cases[] = {
        {"u32 of three bytes", std::string("\1\2\3", 3), 0},
        {"text longer than the payload", std::string("\x05\x00" "abc", 5), 1},
        {"text above the text limit", std::string("\x01\x20", 2) + std::string(0x2001, 'a'), 1},
        {"blob longer than the payload", std::string("\x10\x00\x00\x00" "abc", 7), 2},
        {"blob length near 4 GiB", std::string("\xff\xff\xff\xff" "abc", 7), 2},
        {"f64 of seven bytes", std::string(7, '\0'), 3},
    };
    for (const Case& c : cases) {
        CPayloadReader r(c.data);
        switch (c.reads) {
        case 0: EXPECT_EQ(r.U32(), 0u) << c.name; break;
        case 1: EXPECT_EQ(r.Str(), "") << c.name; break;
        case 2: EXPECT_EQ(r.Blob(), "") << c.name; break;
        default: EXPECT_EQ(r.F64(), 0.0) << c.name; break;
        }
        EXPECT_FALSE(r.Ok()) << c.name;
        EXPECT_EQ(r.U32(), 0u) << c.name;  // stays failed
    }
    const std::string five("\1\0\0\0\2", 5);
    CPayloadReader extra(five);
    EXPECT_EQ(extra.U32(), 1u);
    EXPECT_TRUE(extra.Ok());
    EXPECT_FALSE(extra.Done());  // one byte left over
}

TEST(DrivePayload, AnswerRoundTripKeepsEveryField) {
    CAnswer a;
    a.status = 0x1050005;
    a.kind = 9;
    a.subKind = 7;
    a.value = -1.25e-7;
    a.symbol = "#1.21";
    a.programState = -6;
    a.cpuFree = 73;
    a.taskCount = 3;
    a.taskState = {1, 5, 8};
    a.taskId = 2;
    a.position = 57;
    a.embeddedSource = 1;
    a.programId = 0xCAFEF00Du;
    a.breakpoints = {12, 0, 0, 40, 0, 0, 0, 99};
    a.text = "2.057";
    CAnswer b;
    ASSERT_TRUE(DecodeAnswer(EncodeAnswer(a), b));
    const auto fields = [](const CAnswer& x) {
        return std::tuple(x.status, x.kind, x.subKind, x.value, x.symbol, x.programState, x.cpuFree, x.taskCount,
                          x.taskState, x.taskId, x.position, x.embeddedSource, x.programId, x.breakpoints, x.text);
    };
    EXPECT_EQ(fields(b), fields(a));
    std::string bad = EncodeAnswer(a);
    bad[35] = 40;  // task count (after 3 x i32, f64, a 5-byte text, 2 x i32) above the limit
    EXPECT_FALSE(DecodeAnswer(bad, b));
    EXPECT_FALSE(DecodeAnswer(EncodeAnswer(a) + "x", b));
    EXPECT_FALSE(DecodeAnswer(EncodeAnswer(a).substr(1), b));
}

} // namespace
} // namespace rux::drive
