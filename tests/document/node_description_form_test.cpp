#include "document/node_description_form.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

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

} // namespace
} // namespace rux
