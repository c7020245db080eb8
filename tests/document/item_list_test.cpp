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

} // namespace
} // namespace rux
