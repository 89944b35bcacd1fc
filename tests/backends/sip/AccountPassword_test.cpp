// Where the SIP password goes and where it is read from, over stores that can be made
// unreachable, broken or hanging.
#include "sipaccount/AccountPassword.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/VirtualClock.h"
#include "sipaccount/BoundedPasswordStore.h"
#include "support/FakePasswordStore.h"
#include "support/RealTimeLimit.h"

namespace velto::skype::sip {
namespace {

using Kind = PasswordOutcome::Kind;

using test::FakeStore;

class AccountPasswordTest : public ::testing::Test {
  protected:
    FakeStore keyring{"keyring"};
    FakeStore file{"user file"};
    AccountPassword password{keyring, file};
};

TEST_F(AccountPasswordTest, GoesToTheKeyringAndLeavesNoCopyInTheUserFile) {
    file.value = "old";
    const auto saved = password.Save("new pass");
    EXPECT_TRUE(saved.ok);
    EXPECT_EQ(saved.place, "keyring");
    EXPECT_TRUE(saved.problems.empty());
    EXPECT_EQ(keyring.value, "new pass");
    EXPECT_FALSE(file.value);

    const auto found = password.Read();
    EXPECT_EQ(found.password, "new pass");
    EXPECT_EQ(found.place, "keyring");
}

TEST_F(AccountPasswordTest, FallsBackToTheUserFileAndTheNewerCopyWins) {
    ASSERT_TRUE(password.Save("first").ok);
    keyring.reachable = false;
    const auto saved = password.Save("second");
    EXPECT_TRUE(saved.ok);
    EXPECT_EQ(saved.place, "user file");
    EXPECT_EQ(saved.problems, std::vector<std::string>{"keyring is out of reach"});
    EXPECT_EQ(file.value, "second");

    // The keyring is back, still holding the first password: the user file's copy was
    // saved later, so it is the one used.
    keyring.reachable = true;
    auto found = password.Read();
    EXPECT_EQ(found.password, "second");
    EXPECT_EQ(found.place, "user file");

    ASSERT_TRUE(password.Save("third").ok);
    EXPECT_FALSE(file.value);
    found = password.Read();
    EXPECT_EQ(found.password, "third");
    EXPECT_EQ(found.place, "keyring");

    // Nowhere to be found: the reason the keyring gave is kept for the user.
    keyring.value.reset();
    keyring.reachable = false;
    found = password.Read();
    EXPECT_EQ(found.password, "");
    EXPECT_EQ(found.place, "");
    EXPECT_EQ(found.problem, "keyring is out of reach");
}

TEST_F(AccountPasswordTest, AFailureToSaveIsNeverSuccess) {
    // Neither place takes it.
    keyring.reachable = false;
    file.writable = false;
    auto saved = password.Save("pass");
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.problems,
              (std::vector<std::string>{"keyring is out of reach", "user file refused"}));

    // In the keyring, but an older copy stays in the user file and would still be used.
    file.value = "old";
    keyring.reachable = true;
    saved = password.Save("pass");
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.problems,
              std::vector<std::string>{"the old password in the user file could not be removed: "
                                       "user file refused"});
}

TEST_F(AccountPasswordTest, AnEmptyPasswordRemovesBothCopiesOrSaysWhatStays) {
    keyring.value = "a";
    file.value = "b";
    auto saved = password.Save("");
    EXPECT_TRUE(saved.ok);
    EXPECT_EQ(saved.place, "");
    EXPECT_FALSE(keyring.value);
    EXPECT_FALSE(file.value);

    keyring.value = "a";
    file.value = "b";
    keyring.reachable = false;
    saved = password.Save("");
    EXPECT_TRUE(saved.ok);
    EXPECT_FALSE(file.value);
    EXPECT_EQ(saved.problems,
              std::vector<std::string>{"keyring is out of reach; a password kept there stays"});
}

// A keyring that never answers until it is cancelled, as one behind an invisible prompt.
class HangingStore final : public PasswordStore {
  public:
    explicit HangingStore(platform::Clock& clock) : cancelled_(clock) {}

    std::string Place() const override { return "keyring"; }
    PasswordOutcome Read() override { return Hang(); }
    PasswordOutcome Write(const std::string&) override { return Hang(); }
    PasswordOutcome Erase() override { return Hang(); }
    void Cancel() override {
        std::lock_guard lock(mutex_);
        cancelled = true;
        cancelled_.NotifyAll();
    }

    int calls = 0;
    bool cancelled = false;

  private:
    PasswordOutcome Hang() {
        std::unique_lock lock(mutex_);
        ++calls;
        cancelled_.Wait(lock, [&] { return cancelled; });
        return PasswordOutcome::Unavailable("cancelled");
    }

    std::mutex mutex_;
    platform::ClockCondition cancelled_;
};

TEST(BoundedPasswordStoreTest, AnswersInTimePassThroughAndAHangIsGivenUpOnce) {
    test::RealTimeLimit limit(std::chrono::seconds(10), "BoundedPasswordStoreTest");
    platform::VirtualClock clock;
    const platform::Millis timeLimit{3000};

    auto answering = std::make_shared<FakeStore>("keyring");
    answering->value = "pass";
    BoundedPasswordStore quick(answering, clock, timeLimit);
    EXPECT_EQ(quick.Read().password, "pass");
    EXPECT_EQ(quick.Write("other").kind, Kind::Done);
    EXPECT_EQ(answering->value, "other");
    answering->reachable = false;
    EXPECT_EQ(quick.Read().problem, "keyring is out of reach");
    EXPECT_EQ(clock.Now().count(), 0);

    auto hanging = std::make_shared<HangingStore>(clock);
    BoundedPasswordStore bounded(hanging, clock, timeLimit);
    FakeStore file("user file");
    AccountPassword password(bounded, file);
    const auto saved = password.Save("pass");
    EXPECT_EQ(clock.Now(), timeLimit);
    EXPECT_TRUE(hanging->cancelled);
    EXPECT_TRUE(saved.ok);
    EXPECT_EQ(saved.place, "user file");
    EXPECT_EQ(saved.problems,
              std::vector<std::string>{"the keyring did not answer within 3000 ms"});
    EXPECT_EQ(file.value, "pass");

    // Once given up, the keyring is not waited for again.
    EXPECT_EQ(bounded.Erase().problem, "the keyring did not answer within 3000 ms");
    EXPECT_EQ(hanging->calls, 1);
    EXPECT_EQ(clock.Now(), timeLimit);
}

}  // namespace
}  // namespace velto::skype::sip
