#include "sipaccount/ContactFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

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

// Each limit of the file at its edge, counted from the format's numbers: a content line
// (unfolded, without its line end) of 8,192 bytes, a file of 1 MiB, 2,000 cards; a name of
// 1,024 bytes kept whole and one byte more cut.
TEST(ContactFileTest, LimitsHoldFromBothSides) {
    const auto card = [](const std::string& fn) {
        return "BEGIN:VCARD\r\nFN:" + fn + "\r\nIMPP:sip:a@b\r\nEND:VCARD\r\n";
    };
    // "FN:" and 8,189 bytes make 8,192; CR LF is no part of the line.
    const ContactFileText longest = ParseContactFile(card(std::string(8189, 'x')));
    EXPECT_EQ(longest.error, "");
    EXPECT_EQ(longest.contacts.size(), 1u);
    const ContactFileText over = ParseContactFile(card(std::string(8190, 'x')));
    EXPECT_EQ(over.error, "line 2: longer than 8192 bytes");
    EXPECT_TRUE(over.contacts.empty());
    EXPECT_TRUE(over.damaged);
    // Folded: the continuations count, their leading blank does not.
    const std::string folded = "FN:" + std::string(4000, 'y') + "\r\n " + std::string(4189, 'y');
    EXPECT_EQ(
        ParseContactFile("BEGIN:VCARD\r\n" + folded + "\r\nIMPP:sip:a@b\r\nEND:VCARD\r\n").error,
        "");
    EXPECT_EQ(
        ParseContactFile("BEGIN:VCARD\r\n" + folded + "y\r\nIMPP:sip:a@b\r\nEND:VCARD\r\n").error,
        "line 2: longer than 8192 bytes");

    const ContactFileText name1024 = ParseContactFile(card(std::string(1024, 'n')));
    ASSERT_EQ(name1024.contacts.size(), 1u);
    EXPECT_EQ(name1024.contacts[0].fullName, std::string(1024, 'n'));
    const ContactFileText name1025 = ParseContactFile(card(std::string(1024, 'n') + "m"));
    ASSERT_EQ(name1025.contacts.size(), 1u);
    EXPECT_EQ(name1025.contacts[0].fullName, std::string(1024, 'n'));

    // 1 MiB = 1,048,576 bytes; blank lines are allowed between cards.
    const std::string mebibyte = card("A") + std::string(1048576 - card("A").size(), '\n');
    const ContactFileText atSize = ParseContactFile(mebibyte);
    EXPECT_EQ(atSize.error, "");
    EXPECT_EQ(atSize.contacts.size(), 1u);
    const ContactFileText overSize = ParseContactFile(mebibyte + "\n");
    EXPECT_EQ(overSize.error, "larger than 1048576 bytes");
    EXPECT_TRUE(overSize.damaged);
    EXPECT_TRUE(overSize.contacts.empty());
    test::TempDir dir;
    const auto path = dir / "contacts.vcf";
    const auto write = [&](const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    };
    write(mebibyte);
    EXPECT_EQ(ReadContactFile(path).contacts.size(), 1u);
    write(mebibyte + "\n");
    const ContactFileText overRead = ReadContactFile(path);
    EXPECT_EQ(overRead.error, path.string() + ": larger than 1048576 bytes");
    EXPECT_TRUE(overRead.damaged);

    std::string cards;
    for (int i = 0; i < 2000; ++i) {
        cards += "BEGIN:VCARD\nIMPP:sip:c" + std::to_string(i) + "@h\nEND:VCARD\n";
    }
    const ContactFileText most = ParseContactFile(cards);
    EXPECT_EQ(most.error, "");
    ASSERT_EQ(most.contacts.size(), 2000u);
    EXPECT_EQ(most.contacts.back().address.Handle(), "c1999@h");
    const ContactFileText tooMany =
        ParseContactFile(cards + "BEGIN:VCARD\nIMPP:sip:x@h\nEND:VCARD\n");
    EXPECT_EQ(tooMany.error, "line 6003: more than 2000 contacts");
    EXPECT_TRUE(tooMany.contacts.empty());
    EXPECT_EQ(tooMany.beforeDamage.size(), 2000u);
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
