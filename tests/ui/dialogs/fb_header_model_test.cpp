// The function block header model is Qt-free; it is tested here beside its dialog.
#include "fb_header_model.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

using P = EFbHeaderProblem;

TEST(FbHeaderModel, NamesFollowTheLanguageRules) {
    const struct {
        const char* name;
        bool block;
        bool param;
    } cases[] = {
        {"_Ramp", true, false}, {"_r2_d", true, false}, {"_", false, false},      {"_2x", false, false},
        {"__x", false, false},  {"Ramp", false, true},  {"_Ra mp", false, false}, {"_Ramp%", false, false},
        {"x%", false, true},    {"%", false, false},    {"Ramp.Out%", false, true}, {"a%b", false, false},
        {"9a", false, false},   {"", false, false},     {"\xE4x", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CFbHeaderModel::IsValidBlockName(c.name), c.block) << c.name;
        EXPECT_EQ(CFbHeaderModel::IsValidParamName(c.name), c.param) << c.name;
    }
}

TEST(FbHeaderModel, HeaderTextFromTheFields) {
    const struct {
        const char* outputs;
        const char* name;
        const char* inputs;
        const char* text;
    } cases[] = {
        {"", "_Go", "", "_Go()"},
        {"out%", "_Ramp", "in%", "out% = _Ramp(in%)"},
        {" a ,b% ", "_Two", "x,  y , z%", "(a, b%) = _Two(x, y, z%)"},
        {",,", " _Trim ", ", x ,", "_Trim(x)"},
    };
    for (const auto& c : cases) {
        CFbHeaderModel model(256, 256);
        model.SetOutputs(c.outputs);
        model.SetName(c.name);
        model.SetInputs(c.inputs);
        EXPECT_EQ(model.HeaderText(), c.text) << c.text;
        EXPECT_TRUE(model.IsValid()) << c.text;
    }
}

TEST(FbHeaderModel, ParseReadsBackWhatItWrites) {
    const struct {
        const char* header;
        bool parsed;
        const char* outputs;
        const char* name;
        const char* inputs;
    } cases[] = {
        {"(o1%, o2) = _Name(i1, i2%)", true, "o1%, o2", "_Name", "i1, i2%"},
        {"o% = _Ramp(x)", true, "o%", "_Ramp", "x"},
        {"  _Go()  ", true, "", "_Go", ""},
        {"(a,b)=_X(c)", true, "a, b", "_X", "c"},
        {"_Open(a, b", false, "", "_Open", "a, b"},
        {"Background", false, "", "Background", ""},
        {"", false, "", "", ""},
    };
    for (const auto& c : cases) {
        CFbHeaderModel model(256, 256);
        EXPECT_EQ(model.Parse(c.header), c.parsed) << c.header;
        EXPECT_EQ(CFbHeaderModel::JoinList(model.Outputs()), c.outputs) << c.header;
        EXPECT_EQ(model.Name(), c.name) << c.header;
        EXPECT_EQ(CFbHeaderModel::JoinList(model.Inputs()), c.inputs) << c.header;
        if (c.parsed) {
            CFbHeaderModel again(256, 256);
            again.Parse(model.HeaderText());
            EXPECT_EQ(again.HeaderText(), model.HeaderText()) << c.header;
        }
    }
}

TEST(FbHeaderModel, FirstProblemInFieldOrder) {
    const struct {
        int maxIn;
        int maxOut;
        const char* outputs;
        const char* name;
        const char* inputs;
        P problem;
    } cases[] = {
        {2, 1, "a", "_B", "c, d", P::None},
        {2, 1, "a, b", "_B", "c", P::TooManyOutputs},
        {1, 1, "a", "_B", "c, d", P::TooManyInputs},
        {0, 0, "", "_B", "", P::None},
        {-3, 1, "", "_B", "c", P::TooManyInputs}, // a negative limit allows none
        {4, 4, "1a", "", "", P::BadOutputName},
        {4, 4, "a", "", "c", P::NameMissing},
        {4, 4, "a", "B", "c", P::BadBlockName},
        {4, 4, "a", "_1", "c", P::BadBlockName},
        {4, 4, "a", "_B", "c d", P::BadInputName},
        {4, 4, "a", "_B", "x, A", P::DuplicateName}, // an output and an input differing in case
        {4, 4, "a, b", "_B", "b", P::DuplicateName},
    };
    for (const auto& c : cases) {
        CFbHeaderModel model(c.maxIn, c.maxOut);
        model.SetOutputs(c.outputs);
        model.SetName(c.name);
        model.SetInputs(c.inputs);
        EXPECT_EQ(model.Check(), c.problem) << c.outputs << "|" << c.name << "|" << c.inputs;
        EXPECT_EQ(CFbHeaderModel::ProblemText(model.Check(), model).empty(), c.problem == P::None);
    }
    CFbHeaderModel limits(7, 3);
    limits.SetInputs("a,b,c,d,e,f,g,h");
    limits.SetName("_X");
    EXPECT_EQ(CFbHeaderModel::ProblemText(limits.Check(), limits),
              "A function block of this target has at most 7 inputs.");
}

TEST(FbHeaderModel, HeaderMustFitTheLibraryBuffer) {
    // "_B(" + inputs + ")": 4 bytes around the list.
    CFbHeaderModel model(256, 256);
    model.SetName("_B");
    std::string list = "a" + std::string(250, 'x'); // 255 bytes in all: one byte left for the zero
    model.SetInputs(list);
    EXPECT_EQ(model.HeaderText().size(), 255u);
    EXPECT_EQ(model.Check(), P::None);
    model.SetInputs(list + "x");
    EXPECT_EQ(model.Check(), P::TooLong);
}

} // namespace
} // namespace rux
