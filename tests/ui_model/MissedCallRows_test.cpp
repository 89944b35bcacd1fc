#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "ui/model/MissedCallRows.h"

namespace velto::ui {
namespace {

TEST(MissedCallRowsTest, NewestFirstAndStrangersByHandle) {
    const std::vector<calls::MissedCall> records = {
        {"bob", "2026/12/01 10:00:00", false, u""},
        {"stranger", "2026/12/01 10:05:00", false, u""},
        {"bob", "2026/12/01 10:10:00", false, u""},
    };
    const auto rows =
        MakeMissedCallRows(records, {{"bob", "Bob Full", "", skype::OnlineStatus::Away}});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].record.time, "2026/12/01 10:10:00");
    EXPECT_EQ(rows[0].name, u"Bob Full");
    EXPECT_EQ(rows[0].status, 2);
    EXPECT_EQ(rows[1].name, u"stranger");
    EXPECT_EQ(rows[1].status, 0);
}

TEST(MissedCallRowsTest, DeletingOneRecordRemovesExactlyItAndItsFile) {
    test::TempDir dir;
    calls::MissedCallList list([&] { return std::optional(dir.path()); });
    const std::u16string voice = (dir / "v2.wav").u16string();
    test::WriteFileBytes(dir / "v2.wav", "RIFF");
    const calls::MissedCall first{"bob", "t1", false, u""};
    const calls::MissedCall middle{"bob", "t2", true, voice};
    const calls::MissedCall last{"bob", "t3", true, (dir / "missing.wav").u16string()};
    list.Add(first);
    list.Add(middle);
    list.Add(last);
    DeleteMissedCall(list, middle);
    EXPECT_EQ(list.Snapshot(), (std::vector<calls::MissedCall>{first, last}));
    EXPECT_FALSE(std::filesystem::exists(dir / "v2.wav"));
    // A voice file that is already gone does not keep the record.
    DeleteMissedCall(list, last);
    EXPECT_EQ(list.Snapshot(), (std::vector<calls::MissedCall>{first}));
    calls::MissedCallList reread([&] { return std::optional(dir.path()); });
    reread.Load();
    EXPECT_EQ(reread.Snapshot(), list.Snapshot());
}

}  // namespace
}  // namespace velto::ui
