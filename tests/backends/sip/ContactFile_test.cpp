#include "sipaccount/ContactFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/TempDir.h"

namespace velto::skype::sip {
namespace {

TEST(ContactFileTest, ReadsWhatAddressBooksExport) {
    // Folded lines, CRLF, a group prefix, parameters, escapes, a BOM, and a vCard 3.0 card.
    const std::string text =
        "\xEF\xBB\xBF"
        "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Alice\\, the \r\n First\r\nNICKNAME:Ali,Al\r\n"
        "item1.IMPP;PREF=1:sip:alice@127.0.0.77\r\nIMPP:sip:other@example.org\r\nEND:VCARD\r\n"
        "begin:vcard\nversion:3.0\nfn:Bob\nimpp:xmpp:bob@jabber.example\n"
        "IMPP;TYPE=work:SIP:bob@example.org:5070\nend:vcard\n";
    const ContactFileText file = ParseContactFile(text);
    ASSERT_EQ(file.error, "");
    ASSERT_EQ(file.contacts.size(), 2u);
    EXPECT_EQ(file.contacts[0].fullName, "Alice, the First");
    EXPECT_EQ(file.contacts[0].nickname, "Ali");
    EXPECT_EQ(file.contacts[0].address.Handle(), "alice@127.0.0.77");  // the first IMPP wins
    EXPECT_EQ(file.contacts[1].fullName, "Bob");
    EXPECT_EQ(file.contacts[1].address.Handle(), "bob@example.org");
    EXPECT_EQ(file.contacts[1].address.Uri(), "sip:bob@example.org:5070");
    EXPECT_TRUE(file.skipped.empty());
}

TEST(ContactFileTest, CategoriesAreTheContactsGroupsAndSurviveASave) {
    std::string many;
    for (int i = 0; i < 20; ++i) {
        many += (i ? "," : "") + std::string("g") + std::to_string(i);
    }
    const std::string text =
        "BEGIN:VCARD\r\nFN:Mum\r\nCATEGORIES:Family,Night\\, owls,Family\r\n"
        "CATEGORIES:Close\r\nIMPP:sip:mum@example.org\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nFN:Many\r\nCATEGORIES:" +
        many + "," + std::string(300, 'x') + "\r\nIMPP:sip:many@example.org\r\nEND:VCARD\r\n";
    const ContactFileText file = ParseContactFile(text);
    ASSERT_EQ(file.error, "");
    ASSERT_EQ(file.contacts.size(), 2u);
    EXPECT_EQ(file.contacts[0].groups,
              (std::vector<std::string>{"Family", "Night, owls", "Close"}));
    // At most 16 groups a contact: the seventeenth on is left out.
    ASSERT_EQ(file.contacts[1].groups.size(), kMaxContactGroups);
    EXPECT_EQ(file.contacts[1].groups.back(), "g15");
    const ContactFileText back = ParseContactFile(FormatContactFile(file.contacts));
    ASSERT_EQ(back.error, "");
    EXPECT_EQ(back.contacts[0].groups, file.contacts[0].groups);
    EXPECT_EQ(back.contacts[1].groups, file.contacts[1].groups);
    // The longest name a group keeps, escaped everywhere, still reads back within a line.
    SipContact worst = file.contacts[0];
    worst.groups.clear();
    for (size_t i = 0; i < kMaxContactGroups; ++i) {
        worst.groups.push_back(std::string(kMaxGroupNameBytes - 2, ',') + std::to_string(10 + i));
    }
    EXPECT_EQ(ParseContactFile(FormatContactFile({worst})).contacts[0].groups, worst.groups);
}

TEST(ContactFileTest, SkipsCardsWithoutASipAddressAndSaysWhich) {
    const ContactFileText file = ParseContactFile(
        "BEGIN:VCARD\nFN:Carol\nTEL:+123\nEND:VCARD\n"
        "BEGIN:VCARD\nFN:Dave\nIMPP:xmpp:dave@x\nEND:VCARD\n");
    ASSERT_EQ(file.error, "");
    EXPECT_TRUE(file.contacts.empty());
    ASSERT_EQ(file.skipped.size(), 2u);
    EXPECT_EQ(file.skipped[0], "line 1: \"Carol\" has no SIP address");
    EXPECT_EQ(file.skipped[1], "line 5: \"Dave\": IMPP \"xmpp:dave@x\" is not a sip: address");
}

TEST(ContactFileTest, RefusesMalformedTextNamingTheLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"FN:Alice\n", "line 1: \"FN\" outside BEGIN:VCARD ... END:VCARD"},
        {"BEGIN:VCARD\nFN:A\n", "line 1: BEGIN:VCARD without END:VCARD"},
        {"BEGIN:VCARD\nBEGIN:VCARD\n", "line 2: BEGIN:VCARD inside the card of line 1"},
        {"BEGIN:VCARD\nno colon here\nEND:VCARD\n", "line 2: no ':' between name and value"},
        {" folded\n", "line 1: a continuation with no line before"},
        {"BEGIN:VCARD\nIMPP:sip:@host\nEND:VCARD\n",
         "line 2: IMPP \"sip:@host\": nothing before '@'"},
        {"BEGIN:VCARD\nIMPP:sip:host.only\nEND:VCARD\n",
         "line 2: IMPP \"sip:host.only\": no user before '@'"},
        {"BEGIN:VCARD\nIMPP:sip:a@b:99999\nEND:VCARD\n",
         "line 2: IMPP \"sip:a@b:99999\": the port \"99999\" is not a number from 1 to 65535"},
        {std::string("BEGIN:VCARD\nFN:a\0b\nEND:VCARD\n", 29), "line 2: a NUL byte"},
        {"BEGIN:VCARD\nFN:" + std::string(kMaxContactLineBytes, 'x') + "\nEND:VCARD\n",
         "line 2: longer than 8192 bytes"},
    };
    for (const auto& [text, error] : cases) {
        const ContactFileText file = ParseContactFile(text);
        EXPECT_EQ(file.error, error) << text.substr(0, 60);
        EXPECT_TRUE(file.contacts.empty());
    }
    EXPECT_EQ(ParseContactFile(std::string(kMaxContactFileBytes + 1, '\n')).error,
              "larger than 1048576 bytes");
}

TEST(ContactFileTest, WrittenFileReadsBackAndStaysPrivate) {
    test::TempDir dir;
    const auto path = ContactFilePath(dir.path());
    std::string error;
    SipContact alice{"Alice; Example", "Ali,ce", {}};
    ASSERT_TRUE(ParseSipAddress("sip:alice@127.0.0.77:5062", error));
    alice.address = *ParseSipAddress("sip:alice@127.0.0.77:5062", error);
    SipContact bob{"", "", *ParseSipAddress("sip:bob@example.org", error)};
    // A secure address is written as sips: and must come back (it used to be skipped).
    SipContact carol{"Carol", "", *ParseSipAddress("sips:carol@example.org", error)};
    ASSERT_TRUE(WriteContactFile(path, {alice, bob, carol}, error)) << error;

    const ContactFileText file = ReadContactFile(path);
    ASSERT_EQ(file.error, "");
    ASSERT_EQ(file.contacts.size(), 3u);
    EXPECT_TRUE(file.skipped.empty());
    EXPECT_EQ(file.contacts[2].address.Uri(), "sips:carol@example.org");
    EXPECT_EQ(file.contacts[0].fullName, "Alice; Example");
    EXPECT_EQ(file.contacts[0].nickname, "Ali,ce");
    EXPECT_EQ(file.contacts[0].address.Uri(), "sip:alice@127.0.0.77:5062");
    EXPECT_EQ(file.contacts[1].fullName, "bob@example.org");  // FN is required in vCard 4
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    // A name that grows when escaped is cut on reading, so that a saved file reads back.
    const auto commas = ParseContactFile("BEGIN:VCARD\nFN:" + std::string(5000, ',') +
                                         "\nIMPP:sip:a@b\nEND:VCARD\n");
    ASSERT_EQ(commas.contacts.size(), 1u);
    EXPECT_EQ(commas.contacts[0].fullName.size(), kMaxContactFieldBytes);
    EXPECT_EQ(ParseContactFile(FormatContactFile(commas.contacts)).contacts.size(), 1u);

    EXPECT_TRUE(ReadContactFile(dir / "absent.vcf").contacts.empty());
    EXPECT_EQ(ReadContactFile(dir / "absent.vcf").error, "");
}

}  // namespace
}  // namespace velto::skype::sip
