#include "backends/sip/PartnerName.h"

#include <gtest/gtest.h>

#include "sipaccount/ContactFile.h"
#include "support/TempDir.h"

namespace velto::skype::sip {
namespace {

ContactState Contact(std::string fullName, std::string nickname) {
    return ContactState{"bob@example.org", "sip:bob@example.org", std::move(fullName),
                        std::move(nickname), OnlineStatus::Offline};
}

TEST(PartnerNameTest, TheCallersOwnNameComesFirstThenTheContactsNames) {
    const ContactState both = Contact("Robert Smith", "Bob");
    EXPECT_EQ(PartnerName("Bobby", &both, "bob@example.org"), "Bobby");
    EXPECT_EQ(PartnerName("", &both, "bob@example.org"), "Bob");
}

TEST(PartnerNameTest, AFullNameOnlyCardAndAnUnknownCallerStillHaveANameEach) {
    // What address books export: FN and the address, no NICKNAME.
    test::TempDir dir;
    const auto file = dir / "contacts.vcf";
    std::string error;
    SipContact card;
    card.address = *ParseSipAddress("sip:bob@example.org", error);
    card.fullName = "Robert Smith";
    ASSERT_TRUE(WriteContactFile(file, {card}, error)) << error;
    const ContactFileText read = ReadContactFile(file);
    ASSERT_EQ(read.contacts.size(), 1u);
    const ContactState fnOnly = Contact(read.contacts[0].fullName, read.contacts[0].nickname);
    EXPECT_EQ(PartnerName("", &fnOnly, "bob@example.org"), "Robert Smith");

    EXPECT_EQ(PartnerName("", nullptr, "carol@example.org"), "carol@example.org");
    const ContactState empty = Contact("", "");
    EXPECT_EQ(PartnerName("", &empty, "bob@example.org"), "bob@example.org");
}

}  // namespace
}  // namespace velto::skype::sip
