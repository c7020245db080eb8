#include "shell/command_router.h"

#include "shell/ini_file.h"
#include "shell/manuals.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace rux {
namespace {

// A target that handles the ids it is given, with the state it is given, and logs what ran.
class CFakeTarget : public CCommandTarget {
public:
    CFakeTarget(std::string name, std::vector<std::string>* log) : m_name(std::move(name)), m_log(log) {}
    void Handle(int id, bool enabled, bool checked = false) { m_ids[id] = {enabled, checked}; }

    bool OnUpdateCommand(CCmdUI& ui) override {
        auto it = m_ids.find(ui.id);
        if (it == m_ids.end()) return false;
        ui.Enable(it->second.first);
        if (it->second.second) ui.SetCheck(true);
        return true;
    }
    bool OnCommand(int id) override {
        if (!m_ids.count(id)) return false;
        m_log->push_back(m_name + ":" + std::to_string(id));
        return true;
    }

private:
    std::string m_name;
    std::vector<std::string>* m_log;
    std::map<int, std::pair<bool, bool>> m_ids;
};

TEST(CommandRouter, FirstTargetInOrderDecides) {
    std::vector<std::string> log;
    CFakeTarget tree("tree", &log), view("view", &log), doc("doc", &log), frame("frame", &log), app("app", &log);
    tree.Handle(32832, true);
    view.Handle(117, true);
    view.Handle(57603, false); // the view says no: the document is never asked
    doc.Handle(57603, true);
    doc.Handle(57602, true);
    frame.Handle(125, true, true);
    frame.Handle(117, true);
    app.Handle(57664, true);
    frame.Handle(6000, true); // the hook range: no hook library is loaded
    frame.Handle(6101, true); // the manuals' range: no manuals are loaded
    CCommandRouter router;
    router.SetTarget(CCommandRouter::kTree, &tree);
    router.SetTarget(CCommandRouter::kView, &view);
    router.SetTarget(CCommandRouter::kDocument, &doc);
    router.SetTarget(CCommandRouter::kFrame, &frame);
    router.SetTarget(CCommandRouter::kApplication, &app);

    struct Row {
        int id;
        bool enabled, checked, executed;
        const char* ranBy;
    } rows[] = {
        {32832, true, false, true, "tree:32832"}, {117, true, false, true, "view:117"},
        {57603, false, false, false, nullptr},    {57602, true, false, true, "doc:57602"},
        {125, true, true, true, "frame:125"},     {57664, true, false, true, "app:57664"},
        {99, false, false, false, nullptr},       {6000, false, false, false, nullptr},
        {6101, false, false, false, nullptr},
    };
    for (const Row& r : rows) {
        log.clear();
        const CCmdUI ui = router.Update(r.id);
        EXPECT_EQ(ui.enabled, r.enabled) << r.id;
        EXPECT_EQ(ui.checked, r.checked) << r.id;
        EXPECT_EQ(router.Execute(r.id), r.executed) << r.id;
        if (r.ranBy) {
            ASSERT_EQ(log.size(), 1u) << r.id;
            EXPECT_EQ(log[0], r.ranBy);
        } else {
            EXPECT_TRUE(log.empty()) << r.id;
        }
    }

    // Without the tree (it lost the focus) the Delete of the view runs; without a view, the frame's.
    router.SetTarget(CCommandRouter::kTree, nullptr);
    log.clear();
    EXPECT_FALSE(router.Update(32832).enabled);
    router.SetTarget(CCommandRouter::kView, nullptr);
    EXPECT_TRUE(router.Execute(117));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "frame:117");
}

TEST(CommandRouter, ExtensionsComeAfterTheFrameAndBeforeTheApplication) {
    std::vector<std::string> log;
    CFakeTarget frame("frame", &log), first("first", &log), second("second", &log), app("app", &log);
    frame.Handle(100, true);
    first.Handle(100, true);  // the frame's own command stays the frame's
    first.Handle(200, false); // disabled here: the second extension and the application are not asked
    second.Handle(200, true);
    second.Handle(300, true);
    app.Handle(300, true);
    app.Handle(400, true);
    CCommandRouter router;
    router.SetTarget(CCommandRouter::kFrame, &frame);
    router.SetTarget(CCommandRouter::kApplication, &app);
    router.AddExtension(&first);
    router.AddExtension(&second);
    const std::pair<int, const char*> rows[] = {{100, "frame:100"}, {200, nullptr}, {300, "second:300"}, {400, "app:400"}};
    for (const auto& [id, ranBy] : rows) {
        log.clear();
        EXPECT_EQ(router.Execute(id), ranBy != nullptr) << id;
        EXPECT_EQ(log, ranBy ? std::vector<std::string>{ranBy} : std::vector<std::string>{}) << id;
    }
}

TEST(CommandRouter, ManualsOpenThroughTheDesktopAndReportFailure) {
    CIniFile ini = CIniFile::FromText("[Manuals]\n0=Guide\n1=Site\n[Guide]\nMenuName=Guide\nFileName=guide.pdf\n"
                                      "[Site]\nMenuName=Site\nFileName=HTTP://example.org/x\n");
    H2_CManuals manuals;
    manuals.Load(ini, "/opt/rux/Help");
    std::vector<std::string> opened, failures;
    int answer = 42;
    CCommandRouter router;
    router.SetManuals(
        &manuals,
        [&](const std::string& target) {
            opened.push_back(target);
            return answer;
        },
        [&](const std::string& text) { failures.push_back(text); });
    EXPECT_TRUE(router.Update(6101).enabled);
    EXPECT_TRUE(router.Update(6102).enabled);
    EXPECT_FALSE(router.Update(6103).enabled);
    EXPECT_TRUE(router.Execute(6102));
    EXPECT_TRUE(router.Execute(6101));
    answer = 32; // 32 or less is a failure
    EXPECT_TRUE(router.Execute(6101));
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[0], "HTTP://example.org/x");
    EXPECT_NE(opened[1].find("guide.pdf"), std::string::npos);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("'guide.pdf'"), std::string::npos);
    EXPECT_FALSE(router.Execute(6103));
}

} // namespace
} // namespace rux
