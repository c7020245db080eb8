#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/item_list.h"
#include "document/section_items.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace rux {
namespace {

// header, line, [section: line, diagram, line], line  -> indices 0..7
struct Fixture {
    CObArrayEx list;
    CSectionHeader* header = nullptr;

    Fixture() {
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
    }
};

TEST(ItemList, VisibilityFollowsTheFold) {
    Fixture f;
    EXPECT_EQ(f.list.NextVisible(2), 3);
    f.header->SetExpanded(false);
    EXPECT_EQ(f.list.NextVisible(2), 7);
    EXPECT_EQ(f.list.PreviousVisible(7), 2);
    EXPECT_EQ(f.list.NextVisible(7), -1);
    EXPECT_EQ(f.list.PreviousVisible(0), -1);
    EXPECT_EQ(f.list.NextVisible(-1), 0);
    EXPECT_EQ(f.list.SectionEnd(2), 6) << "a section ends at its footer";
    EXPECT_EQ(f.list.SectionEnd(3), 3) << "any other row is its own end";
}

TEST(ItemList, InsertAddsAndRemoveHandsItemsBack) {
    Fixture f;
    std::vector<std::unique_ptr<CItem>> batch;
    batch.push_back(std::make_unique<CLine>("n1"));
    batch.push_back(std::make_unique<CLine>(std::string(120, 'w')));
    f.list.Insert(1, std::move(batch));
    EXPECT_EQ(f.list.GetSize(), 10);
    EXPECT_EQ(f.list.GetAt(1)->GetText(), "n1");

    f.list.Insert(99, std::make_unique<CLine>("end"));
    EXPECT_EQ(f.list.GetAt(10)->GetText(), "end") << "an index beyond the end appends";

    const CItem* second = f.list.GetAt(2);
    auto removed = f.list.Remove(1, 2);
    ASSERT_EQ(removed.size(), 2u);
    EXPECT_EQ(removed[1].get(), second) << "removed items are handed back, not deleted";
    EXPECT_EQ(f.list.GetSize(), 9);

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
}

// Taking a header out unlinks the members it leaves behind, wherever they stand, and reports the
// rows whose section changed.
TEST(ItemList, RemovedHeaderLetsGoOfItsMembers) {
    struct Case {
        const char* what;
        int memberAbove;     // a member inserted at this index before the cut, -1 for none
        bool linkedOutside;  // an item outside the list links to the header too (count too high)
        int first, count;    // the rows taken out
        int orphanFirst, orphanLast;  // expected; first > last when nothing was orphaned
    };
    const Case cases[] = {
        {"the header alone", -1, false, 2, 1, 2, 5},
        {"the header and its first member", -1, false, 2, 2, 2, 4},
        {"a member above the header is found looking up", 1, false, 3, 1, 1, 6},
        {"a link from outside the list: every row is looked at", -1, true, 2, 1, 2, 5},
        {"the whole section", -1, false, 2, 5, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        if (c.memberAbove >= 0) {
            auto above = std::make_unique<CLine>("moved up");
            above->SetSection(f.header);
            f.list.Insert(c.memberAbove, std::move(above));
        }
        CLine outside("held elsewhere");
        if (c.linkedOutside) outside.SetSection(f.header);
        const int size = f.list.GetSize();
        auto removed = f.list.Remove(c.first, c.count);
        ASSERT_EQ(f.list.GetSize(), size - c.count);
        for (int i = 0; i < f.list.GetSize(); ++i)
            EXPECT_EQ(f.list.GetAt(i)->GetSection(), nullptr) << "row " << i << " still links to the removed header";
        EXPECT_EQ(f.list.RemoveOrphaned(), c.orphanFirst <= c.orphanLast);
        if (c.orphanFirst <= c.orphanLast) {
            EXPECT_EQ(f.list.OrphanedFirst(), c.orphanFirst);
            EXPECT_EQ(f.list.OrphanedLast(), c.orphanLast);
        }
        for (const auto& item : removed)
            EXPECT_TRUE(item.get() == f.header || item->GetSection() == nullptr);
        EXPECT_EQ(f.header->LinkCount(), c.linkedOutside ? 1 : 0);
    }
}

} // namespace
} // namespace rux
