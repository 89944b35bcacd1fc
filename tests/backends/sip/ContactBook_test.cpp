#include "sipaccount/ContactBook.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/TempDir.h"

namespace velto::skype::sip {
namespace {

namespace fs = std::filesystem;

SipContact Made(const std::string& name, const std::string& nickname, const std::string& address,
                const std::string& groups = "") {
    SipContact contact;
    const ContactResult result = MakeContact(name, nickname, address, groups, contact);
    EXPECT_TRUE(result.ok()) << result.detail;
    return contact;
}

// The contact file's place, its folder made.
fs::path FileIn(const fs::path& dir) {
    const fs::path file = ContactFilePath(dir / "config");
    fs::create_directories(file.parent_path());
    return file;
}

// What the file on disk holds, read by the same reader the SIP backend uses.
std::vector<SipContact> OnDisk(const fs::path& file) {
    const ContactFileText read = ReadContactFile(file);
    EXPECT_EQ(read.error, "");
    return read.contacts;
}

TEST(ContactBookTest, WhatTheUserTypesBecomesAContactOrSaysWhatIsWrong) {
    SipContact contact;
    ASSERT_TRUE(MakeContact("  Bob Baker ", " Bob", " bob@example.org ",
                            "Family, work ,, family ,Work,  Friends", contact)
                    .ok());
    EXPECT_EQ(contact.fullName, "Bob Baker");
    EXPECT_EQ(contact.nickname, "Bob");
    EXPECT_EQ(contact.address.Uri(), "sip:bob@example.org");
    // Repeats in another letter case are the same group, as the rules compare them.
    EXPECT_EQ(contact.groups, (std::vector<std::string>{"Family", "work", "Friends"}));
    EXPECT_EQ(JoinGroups(contact.groups), "Family, work, Friends");

    // A display name in the address is the name when none is typed.
    ASSERT_TRUE(MakeContact("", "", "\"Carol C\" <sips:carol@example.org:5061>", "", contact).ok());
    EXPECT_EQ(contact.fullName, "Carol C");
    EXPECT_EQ(contact.address.Uri(), "sips:carol@example.org:5061");

    EXPECT_EQ(MakeContact("X", "", "example.org", "", contact).problem, ContactProblem::BadAddress);
    EXPECT_EQ(MakeContact("X", "", "sip:a@b;transport=sctp", "", contact).problem,
              ContactProblem::BadAddress);
    EXPECT_EQ(MakeContact("X", "", "", "", contact).problem, ContactProblem::BadAddress);
    std::string seventeen;
    for (int i = 0; i < 17; ++i) {
        seventeen += "g" + std::to_string(i) + ",";
    }
    EXPECT_EQ(MakeContact("X", "", "x@example.org", seventeen, contact).problem,
              ContactProblem::TooManyGroups);
    // Sixteen groups, the most a contact has, are all kept.
    std::string sixteen = seventeen.substr(0, seventeen.find("g16,"));
    ASSERT_TRUE(MakeContact("X", "", "x@example.org", sixteen, contact).ok());
    ASSERT_EQ(contact.groups.size(), 16u);
    EXPECT_EQ(contact.groups.back(), "g15");
    // Overlong names are cut to the file's limits at a character boundary.
    std::string longName;
    for (int i = 0; i < 600; ++i) {
        longName += "\xC3\xA9";  // é
    }
    ASSERT_TRUE(MakeContact(longName, "", "x@example.org", std::string(300, 'g'), contact).ok());
    EXPECT_EQ(contact.fullName.size(), kMaxContactFieldBytes);
    EXPECT_EQ(contact.groups.at(0).size(), kMaxGroupNameBytes);
    // A pasted line end is kept as the file keeps it: a blank.
    ASSERT_TRUE(MakeContact("Ann\nLee", "", "ann@example.org", "Fa\rmily", contact).ok());
    EXPECT_EQ(contact.fullName, "Ann Lee");
    EXPECT_EQ(contact.groups, (std::vector<std::string>{"Fa mily"}));
}

TEST(ContactBookTest, AddEditRemoveLandInTheFileWithTheirFields) {
    test::TempDir dir;
    const fs::path file = ContactFilePath(dir / "config");
    ContactBook book(file);
    EXPECT_TRUE(book.Load().problems.empty());  // no file yet: an empty book

    ASSERT_TRUE(book.Add(Made("Alice Archer", "Ali", "alice@example.org", "Family, Work")).ok());
    ASSERT_TRUE(book.Add(Made("Bob", "", "sip:bob@example.org:5070")).ok());
    auto disk = OnDisk(file);
    ASSERT_EQ(disk.size(), 2u);
    EXPECT_EQ(disk[0].fullName, "Alice Archer");
    EXPECT_EQ(disk[0].nickname, "Ali");
    EXPECT_EQ(disk[0].address.Uri(), "sip:alice@example.org");
    EXPECT_EQ(disk[0].groups, (std::vector<std::string>{"Family", "Work"}));
    EXPECT_EQ(disk[1].address.Uri(), "sip:bob@example.org:5070");
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    // The same address again (another port is the same handle) is refused, nothing saved.
    EXPECT_EQ(book.Add(Made("Alice 2", "", "alice@example.org:5080")).problem,
              ContactProblem::Duplicate);
    // A change of name, groups and address; a change onto another contact's address is refused.
    EXPECT_EQ(book.Replace("alice@example.org", Made("A", "", "bob@example.org")).problem,
              ContactProblem::Duplicate);
    ASSERT_TRUE(
        book.Replace("alice@example.org", Made("Alice A.", "Al", "alice@home.example", "Friends"))
            .ok());
    disk = OnDisk(file);
    ASSERT_EQ(disk.size(), 2u);
    EXPECT_EQ(disk[0].fullName, "Alice A.");
    EXPECT_EQ(disk[0].nickname, "Al");
    EXPECT_EQ(disk[0].address.Handle(), "alice@home.example");
    EXPECT_EQ(disk[0].groups, (std::vector<std::string>{"Friends"}));
    EXPECT_EQ(book.Find("alice@example.org"), nullptr);

    ASSERT_TRUE(book.Remove("bob@example.org").ok());
    EXPECT_EQ(book.Remove("bob@example.org").problem, ContactProblem::NotFound);
    disk = OnDisk(file);
    ASSERT_EQ(disk.size(), 1u);
    EXPECT_EQ(disk[0].address.Handle(), "alice@home.example");

    // A book read again from the file is the same book.
    ContactBook again(file);
    again.Load();
    ASSERT_EQ(again.contacts().size(), 1u);
    EXPECT_EQ(again.contacts()[0].groups, (std::vector<std::string>{"Friends"}));
}

// The book holds 2,000 contacts: the 2,000th is added, the next refused by Add and left
// out by Import, and the file keeps the 2,000.
TEST(ContactBookTest, TheTwoThousandthContactIsTheLast) {
    test::TempDir dir;
    ContactBook book(FileIn(dir.path()));
    book.Load();
    std::string cards;
    for (int i = 0; i < 1999; ++i) {
        cards += "BEGIN:VCARD\nIMPP:sip:c" + std::to_string(i) + "@h\nEND:VCARD\n";
    }
    velto::test::WriteFileBytes(dir / "many.vcf", cards);
    ASSERT_EQ(book.Import(dir / "many.vcf").added, 1999u);
    ASSERT_TRUE(book.Add(Made("Last", "", "last@example.org")).ok());
    EXPECT_EQ(book.contacts().size(), 2000u);
    const ContactResult over = book.Add(Made("Over", "", "over@example.org"));
    EXPECT_EQ(over.problem, ContactProblem::TooMany);
    EXPECT_EQ(over.detail, "more than 2000 contacts");
    velto::test::WriteFileBytes(dir / "more.vcf",
                                "BEGIN:VCARD\nIMPP:sip:more@h\nEND:VCARD\n"
                                "BEGIN:VCARD\nIMPP:sip:last@example.org\nEND:VCARD\n");
    const auto report = book.Import(dir / "more.vcf");
    EXPECT_EQ(report.added, 0u);
    EXPECT_EQ(report.known, 1u);
    EXPECT_EQ(report.skipped, 1u);
    EXPECT_EQ(book.contacts().size(), 2000u);
    EXPECT_EQ(OnDisk(book.file()).size(), 2000u);
}

TEST(ContactBookTest, ImportAddsNewAddressesAndExportReadsBackTheSame) {
    test::TempDir dir;
    ContactBook book(ContactFilePath(dir / "config"));
    book.Load();
    ASSERT_TRUE(book.Add(Made("Alice", "", "alice@example.org", "Family")).ok());
    velto::test::WriteFileBytes(
        dir / "phone.vcf",
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Alice Elsewhere\r\nIMPP:sip:alice@example.org\r\n"
        "END:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nFN:Dora\r\nNICKNAME:Do\r\n"
        "CATEGORIES:Work,Choir\r\nIMPP:sip:dora@example.org\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Phone Only\r\nTEL:+4930123\r\nEND:VCARD\r\n");
    const auto report = book.Import(dir / "phone.vcf");
    ASSERT_TRUE(report.result.ok()) << report.result.detail;
    EXPECT_EQ(report.added, 1u);
    EXPECT_EQ(report.known, 1u);
    EXPECT_EQ(report.skipped, 1u);
    ASSERT_EQ(book.contacts().size(), 2u);
    EXPECT_EQ(book.contacts()[0].fullName, "Alice");  // the book's own card stays
    EXPECT_EQ(OnDisk(book.file()).size(), 2u);

    ASSERT_TRUE(book.Export(dir / "out" / "export.vcf").ok());
    ContactBook other(dir / "other.vcf");
    other.Load();
    const auto back = other.Import(dir / "out" / "export.vcf");
    EXPECT_EQ(back.added, 2u);
    ASSERT_EQ(other.contacts().size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(other.contacts()[i].fullName, book.contacts()[i].fullName);
        EXPECT_EQ(other.contacts()[i].nickname, book.contacts()[i].nickname);
        EXPECT_EQ(other.contacts()[i].address.Uri(), book.contacts()[i].address.Uri());
        EXPECT_EQ(other.contacts()[i].groups, book.contacts()[i].groups);
    }

    // A malformed or missing file imports nothing and says why.
    velto::test::WriteFileBytes(dir / "bad.vcf", "BEGIN:VCARD\r\nFN:x\r\n");
    EXPECT_EQ(book.Import(dir / "bad.vcf").result.problem, ContactProblem::ImportFailed);
    EXPECT_EQ(book.contacts().size(), 2u);
    EXPECT_EQ(book.Export(dir / "bad.vcf" / "under-a-file.vcf").problem,
              ContactProblem::SaveFailed);
}

TEST(ContactBookTest, ADamagedFileIsKeptAsideAndItsGoodCardsWrittenBack) {
    test::TempDir dir;
    const fs::path file = FileIn(dir.path());
    const std::string damaged =
        "BEGIN:VCARD\r\nFN:Alice\r\nIMPP:sip:alice@example.org\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nFN:Bob\r\nA LINE WITHOUT A COLON\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nFN:Carol\r\nIMPP:sip:carol@example.org\r\nEND:VCARD\r\n";
    velto::test::WriteFileBytes(file, damaged);
    ContactBook book(file);
    const auto report = book.Load();
    ASSERT_TRUE(report.damaged());
    EXPECT_EQ(report.keptAside, fs::path(file.string() + ".bad-1"));
    EXPECT_EQ(velto::test::ReadFileBytes(report.keptAside), damaged);
    EXPECT_EQ(report.kept, 1u);
    ASSERT_EQ(book.contacts().size(), 1u);
    EXPECT_EQ(OnDisk(file).size(), 1u);  // the next start reads a sound file
    // Editing goes on from there.
    ASSERT_TRUE(book.Add(Made("Dora", "", "dora@example.org")).ok());
    EXPECT_EQ(OnDisk(file).size(), 2u);

    // A second damage goes beside the first, never over it; with no good card nothing is
    // written back.
    velto::test::WriteFileBytes(file, std::string("\0garbage", 8));
    ContactBook second(file);
    const auto again = second.Load();
    EXPECT_EQ(again.keptAside, fs::path(file.string() + ".bad-2"));
    EXPECT_TRUE(second.contacts().empty());
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(velto::test::ReadFileBytes(report.keptAside), damaged);
}

TEST(ContactBookTest, AFileThatCannotBeReadIsNeverReplaced) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads any file";
    }
    test::TempDir dir;
    const fs::path file = FileIn(dir.path());
    const std::string text = "BEGIN:VCARD\r\nFN:A\r\nIMPP:sip:a@example.org\r\nEND:VCARD\r\n";
    velto::test::WriteFileBytes(file, text);
    ::chmod(file.c_str(), 0);
    ContactBook book(file);
    const auto report = book.Load();
    EXPECT_FALSE(report.damaged());
    EXPECT_FALSE(report.problems.empty());
    EXPECT_EQ(book.Add(Made("B", "", "b@example.org")).problem, ContactProblem::NotReadable);
    ::chmod(file.c_str(), 0600);
    EXPECT_EQ(velto::test::ReadFileBytes(file), text);
    EXPECT_FALSE(fs::exists(file.string() + ".bad-1"));
}

TEST(ContactBookTest, CardsWithoutASipAddressAreKeptAsideBeforeTheFirstSave) {
    test::TempDir dir;
    const fs::path file = FileIn(dir.path());
    const std::string text =
        "BEGIN:VCARD\r\nFN:Phone Only\r\nTEL:+4930123\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nFN:A\r\nIMPP:sip:a@example.org\r\nEND:VCARD\r\n";
    velto::test::WriteFileBytes(file, text);
    ContactBook book(file);
    const auto report = book.Load();
    EXPECT_FALSE(report.damaged());
    EXPECT_EQ(report.problems.size(), 1u);  // named, not moved: the file is sound
    EXPECT_EQ(velto::test::ReadFileBytes(file), text);
    const ContactResult added = book.Add(Made("B", "", "b@example.org"));
    ASSERT_TRUE(added.ok());
    EXPECT_EQ(added.keptAside, fs::path(file.string() + ".bad-1"));
    EXPECT_EQ(velto::test::ReadFileBytes(added.keptAside), text);
    EXPECT_EQ(OnDisk(file).size(), 2u);
    // Only the first save keeps a copy.
    EXPECT_TRUE(book.Remove("b@example.org").keptAside.empty());
}

}  // namespace
}  // namespace velto::skype::sip
