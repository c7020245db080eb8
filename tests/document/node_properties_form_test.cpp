#include "document/library_name.h"
#include "document/message_sink.h"
#include "document/node_description_form.h"
#include "document/node_properties_form.h"
#include "document/string_table.h"
#include "support/fake_target.h"
#include "target/library_service.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::CFakeLibraries;
using test::CRecordingSink;
using Form = CNodePropertiesForm;

CRuxHeader Header() {
    CRuxHeader h;
    h.Author = "A";
    h.Company = "C";
    h.Title = "T";
    h.Version = "1.0";
    h.Type = "KESTREL";
    h.Debug = 1;
    h.Source = 1;
    h.FloatingPoint = 1;
    return h;
}

TEST(NodePropertiesForm, ControlsShownAndEnabledFromTheTypeAndTheHeader) {
    struct Case {
        const char* name;
        int typeInfo; // -1: no type information, 0/1: extended memory
        int library, clone, fixedPoint;
        const char* library_;
        bool readOnly;
        // expectations
        bool v3Shown, cloneShown, fixedShown, libBoxEnabled, libEditEnabled, debugEnabled, debugChecked;
    } cases[] = {
        {"plain, all supported", 1, 1, 1, 1, "", false, true, true, true, true, false, true, true},
        {"no type information keeps V3", -1, 1, 1, 1, "", false, true, true, true, true, false, true, true},
        {"no extended memory hides V3", 0, 1, 1, 1, "", false, false, true, true, true, false, true, true},
        {"clone and fixed point unsupported", 1, 1, 0, 0, "", false, true, false, false, true, false, true,
         true},
        {"library answer 2 is no support", 1, 2, 1, 1, "", false, true, true, true, false, false, true, true},
        {"library program", 1, 1, 1, 1, "Lib1", false, true, true, true, true, true, false, false},
        {"library program, type without libraries", 1, 0, 1, 1, "Lib1", false, true, true, true, false, false,
         false, false},
        {"read-only", 1, 1, 1, 1, "", true, true, true, true, false, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::CFakeTarget target;
        if (c.typeInfo >= 0) target.extendedMemory["KESTREL"] = c.typeInfo == 1;
        target.library = c.library;
        target.clone = c.clone;
        target.fixedPoint = c.fixedPoint;
        CRuxHeader h = Header();
        h.Library = c.library_;
        const Form form(h, target, c.readOnly);
        EXPECT_EQ(form.IsVisible(Form::kV3), c.v3Shown);
        EXPECT_EQ(form.IsVisible(Form::kClonable), c.cloneShown);
        EXPECT_EQ(form.IsVisible(Form::kFixedPoint), c.fixedShown);
        EXPECT_EQ(form.IsEnabled(Form::kBuildAsLibrary), c.libBoxEnabled);
        EXPECT_EQ(form.IsEnabled(Form::kLibraryName), c.libEditEnabled);
        EXPECT_EQ(form.IsEnabled(Form::kDebug), c.debugEnabled);
        EXPECT_EQ(form.IsEnabled(Form::kSource), c.debugEnabled);
        EXPECT_EQ(form.GetCheck(Form::kDebug), c.debugChecked);
        EXPECT_EQ(form.GetCheck(Form::kSource), c.debugChecked);
        EXPECT_EQ(form.GetCheck(Form::kBuildAsLibrary), !std::string(c.library_).empty());
        EXPECT_EQ(form.GetText(Form::kLibraryName), c.library_);
        if (c.readOnly) {
            for (int k = 0; k < Form::kControlCount; ++k)
                EXPECT_FALSE(form.IsEnabled(static_cast<Form::EControl>(k))) << k;
        }
    }
}

TEST(NodePropertiesForm, FilledFromTheHeaderFields) {
    test::CFakeTarget target;
    CRuxHeader h = Header();
    h.V3 = 1;
    h.UserProgEnabled = 1;
    h.Clonable = 0;
    h.FloatingPoint = 0;
    const Form form(h, target, false);
    EXPECT_EQ(form.GetText(Form::kAuthor), "A");
    EXPECT_EQ(form.GetText(Form::kCompany), "C");
    EXPECT_EQ(form.GetText(Form::kTitle), "T");
    EXPECT_EQ(form.GetText(Form::kVersion), "1.0");
    EXPECT_TRUE(form.GetCheck(Form::kV3));
    EXPECT_TRUE(form.GetCheck(Form::kUserProgEnabled));
    EXPECT_FALSE(form.GetCheck(Form::kClonable));
    EXPECT_TRUE(form.GetCheck(Form::kFixedPoint)) << "FloatingPoint 0 shows the fixed-point box checked";
}

TEST(NodePropertiesForm, LibraryToggleRestoresTheBoxesFromOpening) {
    test::CFakeTarget target;
    CRuxHeader h = Header();
    h.Debug = 1;
    h.Source = 0;
    Form form(h, target, false);
    ASSERT_TRUE(form.SetCheck(Form::kDebug, false));
    ASSERT_TRUE(form.SetCheck(Form::kBuildAsLibrary, true));
    EXPECT_TRUE(form.IsEnabled(Form::kLibraryName));
    EXPECT_FALSE(form.IsEnabled(Form::kDebug));
    EXPECT_FALSE(form.GetCheck(Form::kDebug));
    EXPECT_FALSE(form.SetCheck(Form::kDebug, true)) << "a disabled box refuses a click";
    for (const char* broken : {"Ty\nped", "Ty\r\nped", "Typed\r"})
        EXPECT_FALSE(form.SetText(Form::kLibraryName, broken)) << "a one-line field takes no line break";
    EXPECT_EQ(form.GetText(Form::kLibraryName), "");
    ASSERT_TRUE(form.SetText(Form::kLibraryName, "Typed"));
    ASSERT_TRUE(form.SetCheck(Form::kBuildAsLibrary, false));
    EXPECT_FALSE(form.IsEnabled(Form::kLibraryName));
    EXPECT_EQ(form.GetText(Form::kLibraryName), "");
    EXPECT_TRUE(form.IsEnabled(Form::kDebug));
    EXPECT_TRUE(form.GetCheck(Form::kDebug)) << "values of the moment the dialog opened, not the last click";
    EXPECT_FALSE(form.GetCheck(Form::kSource));
    EXPECT_FALSE(form.SetText(Form::kLibraryName, "x"));

    // Opened as a library: clearing the box gives back the header's Debug and Source.
    h.Library = "Lib1";
    Form library(h, target, false);
    ASSERT_TRUE(library.SetCheck(Form::kBuildAsLibrary, false));
    EXPECT_TRUE(library.GetCheck(Form::kDebug));
    EXPECT_FALSE(library.GetCheck(Form::kSource));
}

TEST(NodePropertiesForm, OkChecksTheLibraryName) {
    struct Case {
        const char* atOpen;
        bool checked;
        const char* name;
        int serviceAnswer;
        Form::EOkResult result;
        int message; // 0: none
        bool created;
    } cases[] = {
        {"", false, "", 1, Form::EOkResult::Accepted, 0, false},
        {"", true, "", 1, Form::EOkResult::StayLibrary, kStrLibraryNameMissing, false},
        {"MyLib", true, "MYLIB", -2, Form::EOkResult::Accepted, 0, false},
        {"MyLib", true, "MyLib", -2, Form::EOkResult::Accepted, 0, false},
        {"", true, "9Lib", 1, Form::EOkResult::StayLibrary, kStrInvalidLibraryName, false},
        {"", true, "My_Lib", 1, Form::EOkResult::StayLibrary, kStrInvalidLibraryName, false},
        {"", true, "NewLib", -2, Form::EOkResult::StayLibrary, kStrLibraryFileFailed, true},
        {"", true, "NewLib", -1, Form::EOkResult::StayLibrary, kStrLibraryFolderExists, true},
        {"", true, "NewLib", 0, Form::EOkResult::StayLibrary, 0, true},
        {"", true, "NewLib", 1, Form::EOkResult::Accepted, 0, true},
        {"", true, "NewLib", 7, Form::EOkResult::Accepted, 0, true},
        {"Old", true, "NewLib", 1, Form::EOkResult::Accepted, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.atOpen) + " -> " + c.name + " answer " + std::to_string(c.serviceAnswer));
        test::CFakeTarget target;
        CRuxHeader h = Header();
        h.Library = c.atOpen;
        Form form(h, target, false);
        form.SetCheck(Form::kBuildAsLibrary, c.checked);
        if (c.checked) form.SetText(Form::kLibraryName, c.name);
        CFakeLibraries libraries;
        libraries.answer = c.serviceAnswer;
        CRecordingSink sink;
        EXPECT_EQ(form.OnOk(libraries, sink), c.result);
        EXPECT_EQ(sink.ids, c.message ? std::vector<int>{c.message} : std::vector<int>{});
        if (c.message) {
            EXPECT_EQ(sink.texts[0], LoadString(c.message));
        }
        EXPECT_EQ(libraries.created,
                  c.created ? std::vector<std::string>{c.name} : std::vector<std::string>{});
    }
}

TEST(NodePropertiesForm, ToolTipsOfTheBoxesThatHaveOne) {
    EXPECT_STREQ(LoadString(Form::ToolTipId(Form::kFixedPoint)),
                 "Make parameter reading and writing a fixed point operation as in HalmLite");
    EXPECT_STREQ(LoadString(Form::ToolTipId(Form::kUserProgEnabled)),
                 "Allows a user program to be built and downloaded for a target");
    EXPECT_STREQ(LoadString(Form::ToolTipId(Form::kClonable)),
                 "Allow the user program to be cloned to another device such as a smartcard");
    EXPECT_EQ(Form::ToolTipId(Form::kAuthor), 0);
}

TEST(NodePropertiesForm, WriteBackFollowsTheLibraryBox) {
    test::CFakeTarget target;
    CRuxHeader h = Header();
    h.RefLibs = "A;B";
    h.Debug = 1;
    h.Source = 1;

    {
        Form form(h, target, false);
        form.SetText(Form::kAuthor, "New author");
        form.SetCheck(Form::kDebug, false);
        form.SetCheck(Form::kFixedPoint, true);
        form.SetCheck(Form::kV3, true);
        CRuxHeader out = h;
        form.WriteBack(out);
        EXPECT_EQ(out.Author, "New author");
        EXPECT_EQ(out.Debug, 0);
        EXPECT_EQ(out.Source, 1);
        EXPECT_EQ(out.FloatingPoint, 0);
        EXPECT_EQ(out.V3, 1);
        EXPECT_EQ(out.RefLibs, "A;B");
        EXPECT_EQ(out.Library, "");
    }
    {
        Form form(h, target, false);
        form.SetCheck(Form::kBuildAsLibrary, true);
        form.SetText(Form::kLibraryName, "Lib2");
        CRuxHeader out = h;
        form.WriteBack(out);
        EXPECT_EQ(out.Library, "Lib2");
        EXPECT_EQ(out.RefLibs, "") << "a library references no libraries";
        EXPECT_EQ(out.Debug, 1) << "Debug and Source keep their header values";
        EXPECT_EQ(out.Source, 1);
    }
    {
        // Opened as a library and accepted unchanged: Debug and Source stay as in the header.
        CRuxHeader lib = h;
        lib.Library = "Lib1";
        lib.RefLibs.clear();
        lib.Debug = 1;
        lib.Source = 0;
        Form form(lib, target, false);
        CRuxHeader out = lib;
        form.WriteBack(out);
        EXPECT_EQ(out, lib);
    }
    {
        Form form(h, target, true);
        CRuxHeader out = h;
        out.Author = "kept";
        form.WriteBack(out);
        EXPECT_EQ(out.Author, "kept") << "a read-only form writes nothing";
    }
}

using EOk = CNodeDescriptionForm::EOkResult;

TEST(NodeDescriptionForm, AsksOnlyAboveTheLimitAndClipsToIt) {
    const std::string limit(CNodeDescriptionForm::kLimit, 'x');
    struct {
        const char* name;
        std::string typed;
        bool readOnly;
        EOk ok;
        std::string afterClip;
    } cases[] = {
        {"empty", "", false, EOk::Accepted, ""},
        {"exactly the limit", limit, false, EOk::Accepted, limit},
        {"one over", limit + "y", false, EOk::AskToClip, limit},
        {"line breaks count once", std::string(1023, 'a') + "\r\nb", false, EOk::AskToClip,
         std::string(1023, 'a') + "\n"},
        {"CR LF at the limit fits", std::string(1023, 'a') + "\r\n", false, EOk::Accepted,
         std::string(1023, 'a') + "\n"},
        {"every line end becomes LF", "a\r\nb\rc\nd\r", false, EOk::Accepted, "a\nb\nc\nd\n"},
    };
    for (const auto& c : cases) {
        CNodeDescriptionForm form("old", c.readOnly);
        ASSERT_TRUE(form.SetText(c.typed)) << c.name;
        EXPECT_EQ(form.OnOk(), c.ok) << c.name;
        form.Clip();
        EXPECT_EQ(form.Text(), c.afterClip) << c.name;
    }
}

TEST(NodeDescriptionForm, ReadOnlyKeepsItsTextAndNeverAsks) {
    const std::string longText(2000, 'z');
    CNodeDescriptionForm form(longText, true);
    EXPECT_FALSE(form.SetText("new"));
    EXPECT_EQ(form.Text(), longText);
    EXPECT_EQ(form.OnOk(), EOk::Accepted);
}

TEST(LibraryName, Rule) {
    struct Case {
        const char* name;
        bool valid;
    } cases[] = {
        {"Lib1", true},     {"L", true},        {"lib%", true},     {"Z9z", true},    {"", false},
        {"1Lib", false},    {"My_Lib", false},  {"My Lib", false},  {"Li%b", false},  {"%", false},
        {"Lib-1", false},   {"Lib.1", false},   {"Lib$", false},    {"@Lib", false},  {"Lib\xA7", false},
        {"Lib\xA3", false}, {"Lib\xB5", false}, {"\xC4rger", true}, {"Lib\t", false}, {"L~", false},
        {"Lib!", false},    {"L#", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidLibraryName(c.name), c.valid) << c.name;
}

} // namespace
} // namespace rux
