// An image written into its own code storage must be the very file writeImage makes: the same
// bytes and program identifier, whether the code's room holds the whole file or not.
#include "cmp/compile_support.h"
#include "support/temp_dir.h"

#include "image/image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace rux::test {
namespace {

// Code bytes with room for `room` bytes in all.
image::Bytes CodeWithRoom(const std::string& bytes, std::size_t room) {
    image::Bytes code;
    code.reserve(std::max(room, bytes.size()));
    code.resize(bytes.size());
    if (!bytes.empty()) std::memcpy(code.data(), bytes.data(), bytes.size());
    return code;
}

// Every section in use, names past the 255 bytes a name may take, and the source.
image::Image FullImage() {
    image::Image img;
    img.flags = image::kFlagDebug | image::kFlagSource;
    img.targetType = "KESTREL-LONG-TARGET-NAME"; // cut to 15 bytes
    img.globalCells = 77;
    img.tasks = {{0, "Initial", 0}, {3, std::string(300, 'T'), 9}};
    img.constants = {1.5, -0.0, 1e300};
    img.strings = {"", "zone ", std::string(70000, 's')};
    img.lines = {{0, 3}, {5, 4}, {9, 12}};
    img.source = "$*TORVEL/RUX-V1\r\n:a\rb\n:last";
    img.blocks = {{"_Ramp", 5, 6, 2, 1}};
    img.addSymbol("x%", 0, 3, 1);
    img.addSymbol("_Ramp.1.", "Out", 4, 1, 1);
    img.addSymbol(std::string(400, 'n'), 7, 2, 10);
    return img;
}

image::Image CompiledImage() {
    cmp::Result r = CompileSections({{"Initial", {"DIM a%[4]", "FOR i% = 0 TO 3", "\ta%[i%] = i% * 2", "LOOP", "PRINT a%[2]"}},
                                     {"Clock", {"x = x + 0.5"}}});
    EXPECT_EQ(r.errors, 0);
    return std::move(r.image); // a copy would keep only the code's size, not its room
}

struct InPlaceCase {
    const char* name;
    std::function<image::Image()> make;
    std::string code;
    long roomBeyondFile; // bytes of room past the file's size; negative: one byte or more short
};

const std::string kCode = std::string("\x01\x02\x03", 3) + std::string(5000, '\x5a') + std::string("\x00\xff", 2);

const InPlaceCase kCases[] = {
    {"EmptyImageNoRoom", [] { return image::Image(); }, "", -1},
    {"EmptyImageRoom", [] { return image::Image(); }, "", 0},
    {"FullImageExactRoom", FullImage, kCode, 0},
    {"FullImageRoomToSpare", FullImage, kCode, 100000},
    {"FullImageOneByteShort", FullImage, kCode, -1},
    {"FullImageNoCode", FullImage, "", 0},
    {"SourceFlagOff", [] {
         image::Image img = FullImage();
         img.flags = 0; // the source is then left out of the file
         return img;
     },
     kCode, 0},
};

void PrintTo(const InPlaceCase& c, std::ostream* os) { *os << c.name; }

class ImageInPlace : public testing::TestWithParam<InPlaceCase> {};

TEST_P(ImageInPlace, WritesTheBytesWriteImageWrites) {
    const InPlaceCase& c = GetParam();
    image::Image copied = c.make();
    copied.code = CodeWithRoom(c.code, 0);
    const image::Bytes want = image::writeImage(copied);

    image::Image taken = c.make();
    const long room = static_cast<long>(want.size()) + c.roomBeyondFile;
    taken.code = CodeWithRoom(c.code, room > 0 ? static_cast<std::size_t>(room) : 0);
    const uint8_t* storage = taken.code.data();
    const bool fits = taken.code.capacity() >= want.size();
    const image::Bytes got = image::writeImageTakingCode(taken);

    ASSERT_EQ(got.size(), want.size());
    EXPECT_EQ(std::memcmp(got.data(), want.data(), want.size()), 0);
    EXPECT_EQ(taken.programId, copied.programId);
    EXPECT_NE(taken.programId, 0u);
    EXPECT_TRUE(taken.code.empty());
    EXPECT_EQ(taken.symbols.size(), copied.symbols.size());
    EXPECT_EQ(taken.source, copied.source);
    if (fits && storage) {
        EXPECT_EQ(got.data(), storage) << "the file was not written into the code's room";
    }
    if (c.code.empty()) return; // a file without code is not one the reader takes
    image::Image back;
    std::string problem;
    ASSERT_TRUE(image::readImage(got.data(), got.size(), back, problem)) << problem;
    EXPECT_EQ(std::string(back.code.begin(), back.code.end()), c.code);
}

INSTANTIATE_TEST_SUITE_P(Shapes, ImageInPlace, testing::ValuesIn(kCases), CaseName);

// A compiled program's code has room for its whole file, so the build's writer copies no code.
TEST(ImageInPlace, CompiledCodeHasRoomForItsFile) {
    image::Image copied = CompiledImage();
    image::Image taken = copied;
    taken.code.reserve(copied.code.capacity()); // a copy of the vector keeps only the size
    const uint8_t* storage = taken.code.data();
    ASSERT_GE(CompiledImage().code.capacity(), image::writeImage(copied).size());
    const image::Bytes want = image::writeImage(copied);
    const image::Bytes got = image::writeImageTakingCode(taken);
    ASSERT_EQ(got.size(), want.size());
    EXPECT_EQ(std::memcmp(got.data(), want.data(), want.size()), 0);
    EXPECT_EQ(got.data(), storage);
}

} // namespace
} // namespace rux::test
