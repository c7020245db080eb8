#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/item_list.h"
#include "document/section_items.h"
#include "document/view_metrics.h"

#include <gtest/gtest.h>
#include <functional>
#include <random>
#include <stdexcept>

namespace rux {
namespace {

// header, line, [section: line, diagram, line], line  -> indices 0..7
struct Fixture {
    CFixedPitchMetrics metrics{640, 480, 2};
    CObArrayEx list;
    CSectionHeader* header = nullptr;

    Fixture() {
        list.SetMetrics(&metrics);
        list.Append(std::make_unique<CPar>());
        list.Append(std::make_unique<CLine>("top"));
        auto h = std::make_unique<CSectionHeader>("Initial");
        h->SetId(1);
        header = h.get();
        list.Append(std::move(h));
        auto add = [&](std::unique_ptr<CItem> item) {
            item->SetSection(header);
            list.Append(std::move(item));
        };
        add(std::make_unique<CLine>("a = 1"));
        add(std::make_unique<CDiag>(kDiagramFbd));
        add(std::make_unique<CLine>("b\t= 2"));
        add(std::make_unique<CSectionFooter>("Initial"));
        list.Append(std::make_unique<CLine>("after"));
        list.Layout(0, true);
    }
    std::vector<int> Tops() const {
        std::vector<int> tops;
        for (const auto& item : list)
            tops.push_back(item->GetTop());
        return tops;
    }
};

TEST(ItemList, FullLayoutStacksRowsAndFoldingHidesMembers) {
    Fixture f;
    // CPar 96, lines 16, open diagram 120.
    EXPECT_EQ(f.Tops(), (std::vector<int>{0, 96, 112, 128, 144, 264, 280, 296}));
    EXPECT_EQ(f.list.GetTotalHeight(), 296 + 16 + 16);
    EXPECT_EQ(f.list.GetWidestRow(), 600);

    f.header->SetExpanded(false);
    f.list.Layout(0, true);
    EXPECT_EQ(f.Tops(), (std::vector<int>{0, 96, 112, 112, 112, 112, 112, 128}));
    EXPECT_EQ(f.list.GetTotalHeight(), 128 + 16 + 16);
    EXPECT_EQ(f.list.GetWidestRow(), 600) << "the header row stays the widest";

    f.header->SetExpanded(true);
    f.list.Layout(0, true);
    EXPECT_EQ(f.Tops(), (std::vector<int>{0, 96, 112, 128, 144, 264, 280, 296}));
}

TEST(ItemList, WidthOfTextRowsCountsTabsAndMargins) {
    CFixedPitchMetrics metrics{640, 480, 4};
    CObArrayEx list;
    list.SetMetrics(&metrics);
    list.Append(std::make_unique<CLine>(std::string(100, 'x')));
    list.Append(std::make_unique<CLine>("\t\tab"));
    list.Layout(0, true);
    EXPECT_EQ(list.GetWidestRow(), 800 + 40);
    EXPECT_EQ(list.GetAt(1)->GetWidth(metrics), 64 + 16 + 40);
}

// The widest row follows the rows there are: it falls back when the widest one goes, shrinks or is
// folded away, and rises again when it comes back.
TEST(ItemList, WidestRowFallsBackWhenTheWidestRowGoes) {
    struct {
        const char* name;
        std::function<void(CObArrayEx&, CSectionHeader&)> change;
        int widest;
    } cases[] = {
        {"as laid out", [](CObArrayEx&, CSectionHeader&) {}, 100 * 8 + 40},
        {"widest line deleted", [](CObArrayEx& l, CSectionHeader&) { l.Remove(1, 1); }, 50 * 8 + 40},
        {"widest line shortened", [](CObArrayEx& l, CSectionHeader&) {
             l.GetAt(1)->SetText("x");
             l.Layout(1, false);
         }, 50 * 8 + 40},
        {"widest line folded away", [](CObArrayEx& l, CSectionHeader& h) {
             h.SetExpanded(false);
             l.Layout(0, true);
         }, 50 * 8 + 40},
        {"folded and unfolded", [](CObArrayEx& l, CSectionHeader& h) {
             h.SetExpanded(false);
             l.Layout(0, true);
             h.SetExpanded(true);
             l.Layout(0, true);
         }, 100 * 8 + 40},
        {"every row deleted", [](CObArrayEx& l, CSectionHeader&) { l.Remove(0, l.GetSize()); }, 0},
        {"a wider row inserted", [](CObArrayEx& l, CSectionHeader&) { l.Insert(0, std::make_unique<CLine>(std::string(120, 'w'))); },
         120 * 8 + 40},
    };
    for (const auto& c : cases) {
        CFixedPitchMetrics metrics{640, 480, 2};
        CObArrayEx list;
        list.SetMetrics(&metrics);
        auto header = std::make_unique<CSectionHeader>("S");
        header->SetId(1);
        CSectionHeader& h = *header;
        list.Append(std::move(header));
        auto wide = std::make_unique<CLine>(std::string(100, 'x'));
        wide->SetSection(&h);
        list.Append(std::move(wide));
        list.Append(std::make_unique<CSectionFooter>("S"));
        list.Append(std::make_unique<CLine>(std::string(50, 'y')));
        list.Layout(0, true);
        c.change(list, h);
        EXPECT_EQ(list.GetWidestRow(), c.widest) << c.name;
    }
}

// Removing rows moves the rest up without measuring them again: tops and total height must be
// those a full layout gives, with folded sections, diagrams and the header around the cut.
TEST(ItemList, RemovingRowsGivesTheTopsOfAFullLayout) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        CFixedPitchMetrics metrics{640, 480, 2};
        CObArrayEx list;
        list.SetMetrics(&metrics);
        list.Append(std::make_unique<CPar>());
        uint32_t id = 1;
        while (list.GetSize() < 40) {
            auto header = std::make_unique<CSectionHeader>("S" + std::to_string(id));
            header->SetId(id++);
            header->SetExpanded(rng() % 3 != 0);
            CSectionHeader* h = header.get();
            list.Append(std::move(header));
            for (int n = static_cast<int>(rng() % 4); n > 0; --n) {
                std::unique_ptr<CItem> member;
                if (rng() % 4 == 0)
                    member = std::make_unique<CDiag>(kDiagramFbd);
                else
                    member = std::make_unique<CLine>("m");
                member->SetSection(h);
                list.Append(std::move(member));
            }
            auto footer = std::make_unique<CSectionFooter>(h->GetText());
            footer->SetSection(h);
            list.Append(std::move(footer));
            list.Append(std::make_unique<CLine>("between"));
        }
        list.Layout(0, true);
        const int at = 1 + static_cast<int>(rng() % static_cast<unsigned>(list.GetSize() - 1));
        const int count = 1 + static_cast<int>(rng() % static_cast<unsigned>(std::min(8, list.GetSize() - at)));
        auto removed = list.Remove(at, count);
        list.RelinkSections();
        std::vector<int> tops;
        for (const auto& item : list)
            tops.push_back(item->GetTop());
        const int total = list.GetTotalHeight();
        list.Layout(0, true);
        std::vector<int> expected;
        for (const auto& item : list)
            expected.push_back(item->GetTop());
        ASSERT_EQ(tops, expected) << "round " << round << ": removed " << count << " at " << at;
        ASSERT_EQ(total, list.GetTotalHeight()) << "round " << round;
    }
}

TEST(ItemList, VisibilityFollowsTheFold) {
    Fixture f;
    EXPECT_EQ(f.list.NextVisible(2), 3);
    f.header->SetExpanded(false);
    EXPECT_EQ(f.list.NextVisible(2), 7);
    EXPECT_EQ(f.list.PreviousVisible(7), 2);
    EXPECT_EQ(f.list.NextVisible(7), -1);
    EXPECT_EQ(f.list.PreviousVisible(0), -1);
    EXPECT_EQ(f.list.NextVisible(-1), 0);
}

TEST(ItemList, PartialLayoutStopsBelowTheClientArea) {
    CFixedPitchMetrics metrics{640, 64, 2};
    CObArrayEx list;
    list.SetMetrics(&metrics);
    for (int i = 0; i < 20; ++i)
        list.AppendNoLayout(std::make_unique<CLine>("l"));
    list.Layout(0, false);
    // Rows at 0..64 are laid out, plus the first whose top lies below the bottom.
    EXPECT_EQ(list.GetLastReached(), 5);
    EXPECT_EQ(list.GetAt(5)->GetTop(), 80);
    EXPECT_EQ(list.GetAt(6)->GetTop(), 0);
    metrics.SetScroll(0, 160);
    list.Layout(6, false);
    EXPECT_EQ(list.GetLastReached(), 15);
    EXPECT_EQ(list.GetAt(15)->GetTop(), 240);
}

TEST(ItemList, InsertAddsHeightsAndRemoveHandsItemsBack) {
    Fixture f;
    const int before = f.list.GetTotalHeight();
    std::vector<std::unique_ptr<CItem>> batch;
    batch.push_back(std::make_unique<CLine>("n1"));
    batch.push_back(std::make_unique<CLine>(std::string(120, 'w')));
    f.list.Insert(1, std::move(batch));
    EXPECT_EQ(f.list.GetSize(), 10);
    EXPECT_EQ(f.list.GetAt(1)->GetText(), "n1");
    EXPECT_EQ(f.list.GetTotalHeight(), before + 32);
    EXPECT_EQ(f.list.GetWidestRow(), 960 + 40);

    f.list.Insert(99, std::make_unique<CLine>("end"));
    EXPECT_EQ(f.list.GetAt(10)->GetText(), "end") << "an index beyond the end appends";

    CItem* second = f.list.GetAt(2);
    auto removed = f.list.Remove(1, 2);
    ASSERT_EQ(removed.size(), 2u);
    EXPECT_EQ(removed[1].get(), second) << "removed items are handed back, not deleted";
    EXPECT_EQ(f.list.GetSize(), 9);
    EXPECT_EQ(f.Tops()[1], 96) << "removing lays out again";

    EXPECT_THROW(f.list.GetAt(9), std::out_of_range);
    EXPECT_THROW(f.list.GetAt(-1), std::out_of_range);
    EXPECT_THROW(f.list.Remove(8, 2), std::out_of_range);
    EXPECT_THROW(f.list.Remove(-1, 1), std::out_of_range);
    EXPECT_THROW(f.list.Insert(-1, std::make_unique<CLine>()), std::out_of_range);
}

TEST(ItemList, RelinkRestoresSectionLinksFromIds) {
    Fixture f;
    auto removed = f.list.Remove(3, 1);
    auto clone = removed[0]->Clone();
    EXPECT_EQ(clone->GetSection(), nullptr);
    f.list.Insert(3, std::move(clone));
    f.list.RelinkSections();
    EXPECT_EQ(f.list.GetAt(3)->GetSection(), f.header);
    EXPECT_EQ(f.list.GetAt(7)->GetSection(), nullptr);

    f.list.RemoveAll();
    EXPECT_EQ(f.list.GetTotalHeight(), 0);
    EXPECT_EQ(f.list.GetWidestRow(), 0);
}

TEST(ItemList, NoLayoutWithoutAView) {
    CObArrayEx list;
    list.Append(std::make_unique<CLine>("x"));
    list.Append(std::make_unique<CLine>("y"));
    list.Layout(0, true);
    EXPECT_EQ(list.GetAt(1)->GetTop(), 0);
    EXPECT_EQ(list.GetTotalHeight(), 0);
}

} // namespace
} // namespace rux
