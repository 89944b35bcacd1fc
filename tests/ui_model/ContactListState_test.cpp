#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ui/model/ContactListState.h"

namespace velto::ui {
namespace {

using skype::OnlineStatus;

// Applies the announced changes to a plain list of row names, the way a view would, so that
// every announcement is checked against the state's own rows.
class MirrorView final : public ContactListObserver {
  public:
    explicit MirrorView(const ContactListState& state) : state_(state) {}

    void BeginReset() override {}
    void EndReset() override { rows = Rows(state_); }
    void BeginInsert(int row) override { pendingInsert_ = row; }
    void EndInsert() override {
        ASSERT_GE(pendingInsert_, 0);
        ASSERT_LE(pendingInsert_, static_cast<int>(rows.size()));
        rows.insert(rows.begin() + pendingInsert_, Name(state_, pendingInsert_));
    }
    void BeginRemove(int row) override {
        ASSERT_GE(row, 0);
        ASSERT_LT(row, static_cast<int>(rows.size()));
        rows.erase(rows.begin() + row);
    }
    void EndRemove() override {}
    void BeginMove(int row, int destination) override {
        // A view refuses moves onto the row itself.
        ASSERT_NE(destination, row);
        ASSERT_NE(destination, row + 1);
        const std::string moving = rows[row];
        rows.erase(rows.begin() + row);
        rows.insert(rows.begin() + (destination > row ? destination - 1 : destination), moving);
        ++moves;
    }
    void EndMove() override {}
    void RowChanged(int row) override {
        ASSERT_GE(row, 0);
        ASSERT_LT(row, static_cast<int>(rows.size()));
    }

    static std::string Name(const ContactListState& state, int row) {
        return state.KindOf(row) == ContactListState::RowKind::Option
                   ? "[" + state.ContactAt(row).handle + "]"
                   : state.ContactAt(row).handle;
    }
    static std::vector<std::string> Rows(const ContactListState& state) {
        std::vector<std::string> names;
        for (int row = 0; row < state.RowCount(); ++row) {
            names.push_back(Name(state, row));
        }
        return names;
    }

    std::vector<std::string> rows;
    int moves = 0;

  private:
    const ContactListState& state_;
    int pendingInsert_ = -1;
};

Contact Person(const std::string& handle, const std::string& display, OnlineStatus status) {
    return {handle, "", display, status};
}

class ContactListStateTest : public ::testing::Test {
  protected:
    std::vector<std::string> Rows() const { return MirrorView::Rows(state); }
    void ExpectMirrorAgrees() { EXPECT_EQ(view.rows, Rows()); }

    ContactListState state{&view};
    MirrorView view{state};
};

TEST_F(ContactListStateTest, OnlineFirstThenNamesWithoutCase) {
    state.Rebuild({Person("bob", "Bob", OnlineStatus::Online),
                   Person("carol", "carol", OnlineStatus::Offline),
                   Person("alice", "alice", OnlineStatus::Away),
                   Person("dave", "", OnlineStatus::Offline),
                   {"emil", "\xc3\x84mil Full", "", OnlineStatus::Online},  // full name
                   Person("zed",
                          "\xc3\xa4"
                          "bel",
                          OnlineStatus::Online)});
    // Ä folds to ä, so the two sort together, after the ASCII letters.
    EXPECT_EQ(Rows(), (std::vector<std::string>{"alice", "bob", "zed", "emil", "carol", "dave"}));
    EXPECT_EQ(state.ContactAt(3).name, u"\u00c4mil Full");
    EXPECT_EQ(state.ContactAt(5).name, u"dave");  // no names: the handle
    ExpectMirrorAgrees();
}

TEST_F(ContactListStateTest, ContactGoingOfflineMovesBelowEveryOnlineOne) {
    state.Rebuild(
        {Person("alice", "alice", OnlineStatus::Online), Person("bob", "Bob", OnlineStatus::Online),
         Person("cy", "Cy", OnlineStatus::Online), Person("al", "Al", OnlineStatus::Offline)});
    state.Update(Person("alice", "alice", OnlineStatus::Offline), false);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"bob", "cy", "al", "alice"}));
    EXPECT_EQ(state.ContactAt(3).status, 0);
    EXPECT_EQ(view.moves, 1);
    ExpectMirrorAgrees();

    // A status change that keeps the place moves nothing.
    state.Update(Person("bob", "Bob", OnlineStatus::Away), false);
    EXPECT_EQ(view.moves, 1);
    EXPECT_EQ(state.ContactAt(0).status, 2);
}

TEST_F(ContactListStateTest, SelectDeselectAndSelectBelow) {
    state.Rebuild({Person("a", "A", OnlineStatus::Online), Person("b", "B", OnlineStatus::Online),
                   Person("c", "C", OnlineStatus::Online)});
    state.Select(0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a", "[a]", "b", "c"}));
    state.Select(0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(state.SelectedRow(), -1);

    state.Select(0);
    // Row 3 is "c" while the option row sits under "a".
    state.Select(3);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a", "b", "c", "[c]"}));
    EXPECT_EQ(state.SelectedHandle(), "c");
    state.Select(3);  // the option row itself: nothing
    EXPECT_EQ(state.SelectedHandle(), "c");
    state.Select(0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a", "[a]", "b", "c"}));
    ExpectMirrorAgrees();
}

TEST_F(ContactListStateTest, LateContactIsInsertedAndSelectionStays) {
    state.Update(Person("early", "Early", OnlineStatus::Online), false);  // before any rebuild
    EXPECT_EQ(state.RowCount(), 0);
    state.Rebuild({Person("b", "B", OnlineStatus::Online), Person("d", "D", OnlineStatus::Online)});
    state.Select(1);
    state.Update(Person("a", "A", OnlineStatus::Online), false);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a", "b", "d", "[d]"}));
    state.Update(Person("e", "E", OnlineStatus::Online), false);
    state.Update(Person("c", "c", OnlineStatus::Online), false);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a", "b", "c", "d", "[d]", "e"}));
    EXPECT_EQ(state.SelectedHandle(), "d");
    ExpectMirrorAgrees();
}

TEST_F(ContactListStateTest, SelectedContactMovesWithItsOptionRowOrLeaves) {
    state.Rebuild({Person("a", "A", OnlineStatus::Online), Person("b", "B", OnlineStatus::Online),
                   Person("c", "C", OnlineStatus::Offline)});
    state.Select(0);
    state.Update(Person("a", "A", OnlineStatus::Offline), false);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b", "a", "[a]", "c"}));
    ExpectMirrorAgrees();
    state.Update(Person("a", "A", OnlineStatus::Offline), true);  // now kept out of the list
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(state.SelectedRow(), -1);
    state.Update(Person("a", "A", OnlineStatus::Offline), true);  // not there: nothing
    state.Select(1);
    state.Update(Person("b", "B", OnlineStatus::Offline), true);  // above the selection
    EXPECT_EQ(Rows(), (std::vector<std::string>{"c", "[c]"}));
    ExpectMirrorAgrees();
}

// Many random updates and clicks: every announcement must keep a view in step with the rows,
// the rows must stay in order and the selection on its contact.
TEST_F(ContactListStateTest, RandomUpdatesKeepViewOrderAndSelection) {
    std::mt19937 random(7);
    const std::vector<std::string> names = {"ann", "Ben",  "cat", "Dora",
                                            "eve", "Finn", "gus", "Hal"};
    auto randomContact = [&](int i) {
        const auto status = static_cast<OnlineStatus>(static_cast<int>(random() % 3) - 1);
        return Person("h" + std::to_string(i), names[random() % names.size()], status);
    };
    ContactList start;
    for (int i = 0; i < 12; ++i) {
        start.push_back(randomContact(i));
    }
    state.Rebuild(start);
    for (int step = 0; step < 3000; ++step) {
        const auto selected = state.SelectedHandle();
        const int action = static_cast<int>(random() % 10);
        if (action < 2 && state.RowCount() > 0) {
            state.Select(static_cast<int>(random() % state.RowCount()));
        } else {
            const int who = static_cast<int>(random() % 20);
            const bool leaving = action == 9;
            const Contact contact = randomContact(who);
            state.Update(contact, leaving);
            if (selected && !(leaving && contact.handle == *selected)) {
                ASSERT_EQ(state.SelectedHandle(), selected) << "step " << step;
            }
        }
        ASSERT_EQ(view.rows, Rows()) << "step " << step;
        for (int row = 1; row < state.RowCount(); ++row) {
            if (state.KindOf(row) == ContactListState::RowKind::Contact &&
                state.KindOf(row - 1) == ContactListState::RowKind::Contact) {
                ASSERT_FALSE(ContactBefore(state.ContactAt(row), state.ContactAt(row - 1)));
            }
        }
        // Every contact is found at its row, among others of the same name and status.
        for (int row = 0; row < state.RowCount(); ++row) {
            if (state.KindOf(row) == ContactListState::RowKind::Contact) {
                ASSERT_EQ(state.RowOf(state.ContactAt(row).handle), row) << "step " << step;
            }
        }
    }
}

TEST_F(ContactListStateTest, AHandleGivenTwiceIsShownOnce) {
    state.Rebuild({Person("bob", "Bob", OnlineStatus::Online),
                   Person("bob", "Bobby", OnlineStatus::Offline)});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"bob"}));
    state.Update(Person("bob", "Bob", OnlineStatus::Offline), true);
    EXPECT_EQ(state.RowCount(), 0);
    EXPECT_EQ(state.RowOf("bob"), -1);
}

TEST(ContactOrderTest, FoldsLatinGreekAndCyrillicOnly) {
    EXPECT_EQ(FoldCase(u"ABC \u00c9\u00d7 \u0100\u0139\u0178 \u0391 \u0416\u0401 \u6f22"),
              u"abc \u00e9\u00d7 \u0101\u013a\u0178 \u03b1 \u0436\u0451 \u6f22");
    EXPECT_EQ(StatusIconIndex(-1), 0);
    EXPECT_EQ(StatusIconIndex(6), 6);
    EXPECT_EQ(StatusIconIndex(7), 0);
}

}  // namespace
}  // namespace velto::ui
