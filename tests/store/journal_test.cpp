// The journal beside the data file as something else may leave it: stale
// over newer data, planted as a link or a folder or a pipe, too open, of
// crafted bytes, or beside a file of the wrong shape. The data file is
// only ever written with a save's own bytes over its own old ones.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "datafile.h"
#include "recordreader.h"
#include "storetestdata.h"
#include "testsupport.h"

namespace corvane {
namespace {

using test::Bytes;
using test::journalFor;
using test::namesIn;
using test::readFile;
using test::savedAs;
using test::slotsOf;
using test::writeFile;
using Names = std::vector<std::string>;

class Journal : public testing::Test {
  protected:
    std::string data() const { return dir.file("Corvane.Data"); }
    std::string journal() const { return dir.file("Corvane.Data.journal"); }
    std::string setAside() const { return dir.file("Corvane.Data.journal.set-aside"); }
    // Opens and closes the book as every start does; its notices.
    std::vector<std::string> open() {
        EXPECT_TRUE(store.OpenDataFile().ok());
        EXPECT_TRUE(store.CloseDataFile().ok());
        return store.takeNotices();
    }
    Names exported() {
        Names names;
        std::vector<std::string> problems;
        readWholeRecords(
            realFileSystem(), data(),
            [&](const ContactRecord& r, int) {
                names.push_back(r.text(Field::FullName));
                return true;
            },
            problems);
        return names;
    }
    test::TempDir dir;
    DataFile store{realFileSystem(), dir.path().string()};
};

// What a whole journal does, by what the data file holds in its range now.
TEST_F(Journal, IsFinishedOnlyOverItsOwnOldOrNewBytes) {
    const Bytes three = slotsOf({"Adams", "Baker", "Clark"});
    const Bytes saved = savedAs(three, 2, "Bell");
    const auto [tornJournal, torn] = test::tornRewrite(three, 2);
    const Bytes otherProgram = savedAs(saved, 2, "Bellamy");
    const Bytes appended = savedAs(three, 4, "Dunn");
    struct Case {
        const char* what;
        Bytes file;
        Bytes journal;
        Names after;    // the data file once opened, and as the console reads it
        bool setAside;  // the journal kept under another name
        bool told;      // the start says something
    };
    for (const Case& c : {
             Case{"a torn rewrite", torn, tornJournal, {"Adams", "Bell", "Clark"}, false, true},
             Case{"a torn append",
                  Bytes(appended.begin(), appended.begin() + 9728),
                  journalFor(three, 4, "Dunn"),
                  {"Adams", "Baker", "Clark", "Dunn"},
                  false,
                  true},
             Case{"a save whose emptying was lost",
                  saved,
                  journalFor(three, 2, "Bell"),
                  {"Adams", "Bell", "Clark"},
                  false,
                  false},
             Case{"a save that never reached the file",
                  three,
                  journalFor(three, 2, "Bell"),
                  {"Adams", "Baker", "Clark"},
                  false,
                  false},
             Case{"a slot another program changed since",
                  otherProgram,
                  journalFor(three, 2, "Bell"),
                  {"Adams", "Bellamy", "Clark"},
                  true,
                  true},
             Case{"an append deleted since by another program",
                  three,
                  journalFor(three, 4, "Dunn"),
                  {"Adams", "Baker", "Clark"},
                  false,
                  false},
             Case{"an entry appended since by another program",
                  savedAs(three, 4, "Evans"),
                  journalFor(three, 4, "Dunn"),
                  {"Adams", "Baker", "Clark", "Evans"},
                  true,
                  true},
             Case{"a book cut short since",
                  slotsOf({"Adams"}),
                  journalFor(three, 2, "Bell"),
                  {"Adams"},
                  true,
                  true},
         }) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(setAside());
        writeFile(data(), c.file);
        writeFile(journal(), c.journal);
        EXPECT_EQ(exported(), c.after);
        EXPECT_EQ(readFile(data()), c.file) << "the console only reads";
        EXPECT_EQ(open().empty(), !c.told);
        EXPECT_EQ(namesIn(readFile(data())), c.after);
        EXPECT_EQ(test::fileExists(setAside()), c.setAside);
        if (c.setAside) {
            EXPECT_EQ(readFile(setAside()), c.journal);
        }
        EXPECT_EQ(open(), std::vector<std::string>{}) << "said once";
    }
}

TEST_F(Journal, APlantedLinkFolderOrPipeIsNeverFollowedNorWaitedOn) {
    const Bytes two = slotsOf({"Adams", "Baker"});
    const std::string target = dir.file("elsewhere");
    const Bytes elsewhere(5000, 'e');
    struct Case {
        const char* what;
        std::function<void()> plant;
    };
    for (const Case& c : {
             Case{"a link to another file",
                  [&] {
                      writeFile(target, elsewhere);
                      std::filesystem::create_symlink(target, journal());
                  }},
             Case{"a link to a whole journal",
                  [&] {
                      writeFile(target, journalFor(two, 2, "Bell"));
                      std::filesystem::create_symlink(target, journal());
                  }},
             Case{"a second name of another file",
                  [&] {
                      writeFile(target, elsewhere);
                      std::filesystem::create_hard_link(target, journal());
                  }},
             Case{"a second name of the data file",
                  [&] { std::filesystem::create_hard_link(data(), journal()); }},
             Case{"a folder", [&] { std::filesystem::create_directory(journal()); }},
             Case{"a pipe", [&] { ASSERT_EQ(::mkfifo(journal().c_str(), 0600), 0); }},
         }) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(journal());
        std::filesystem::remove_all(setAside());
        writeFile(data(), two);
        c.plant();
        const Bytes targetBefore = test::fileExists(target) ? readFile(target) : Bytes{};
        EXPECT_EQ(exported(), (Names{"Adams", "Baker"}));
        const std::vector<std::string> notices = open();
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_NE(notices[0].find("is not a journal Corvane made"), std::string::npos);
        EXPECT_EQ(readFile(data()), two);
        // A save puts the thing aside and journals in a file of its own.
        ASSERT_TRUE(test::saveName(store, 1, "Abbott").ok());
        (void)store.takeNotices();
        EXPECT_EQ(namesIn(readFile(data())), (Names{"Abbott", "Baker"}));
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(journal())));
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(setAside())));
        if (test::fileExists(target)) {
            EXPECT_EQ(readFile(target), targetBefore);
        }
        std::filesystem::remove(target);
    }
}

// A data file that is a link to the journal's file: the journal is never
// written over the entries.
TEST_F(Journal, IsNeverTheDataFileItself) {
    const Bytes two = slotsOf({"Adams", "Baker"});
    writeFile(journal(), two);
    std::filesystem::create_symlink(journal(), data());
    const StoreStatus saved = test::saveName(store, 1, "Abbott");
    EXPECT_FALSE(saved.ok());
    EXPECT_NE(saved.reason.find("it is the data file itself"), std::string::npos) << saved.reason;
    EXPECT_EQ(readFile(journal()), two);
}

// The journal is never more open than the book, and keeps nothing of an
// entry once its save is made.
TEST_F(Journal, IsAsPrivateAsTheBookAndEmptyBetweenSaves) {
    const mode_t umask = ::umask(022);
    writeFile(data(), slotsOf({"Adams", "Baker"}));
    ::chmod(data().c_str(), 0600);
    ASSERT_TRUE(test::saveName(store, 2, "Bell").ok());
    struct stat st {};
    ASSERT_EQ(::stat(journal().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const auto zeros = [](const Bytes& b) {
        return std::all_of(b.begin(), b.end(), [](std::uint8_t c) { return c == 0; });
    };
    EXPECT_TRUE(zeros(readFile(journal())));

    ::chmod(journal().c_str(), 0666);  // left wide by something else
    ASSERT_TRUE(test::saveName(store, 2, "Bellamy").ok());
    ASSERT_EQ(::stat(journal().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(zeros(readFile(journal())));
    ::umask(umask);
}

TEST(JournalBytes, OnlyAWriteASaveCanMakeIsRead) {
    const Bytes slot(3000, 'n');
    const Bytes old(3000, 'o');
    struct Case {
        const char* what;
        std::uint64_t start;
        std::uint64_t oldLength;
        std::size_t count;
        bool read;
    };
    for (const Case& c : {
             Case{"a rewrite of slot 2", 3000, 9000, 3000, true},
             Case{"an append", 9000, 9000, 3000, true},
             Case{"an append after a ragged end", 4500, 4500, 4500, true},
             Case{"a start past the end", 15000, 9000, 3000, false},
             Case{"a start inside a slot", 4000, 9000, 3000, false},
             Case{"a rewrite of part of a slot", 3000, 9000, 1000, false},
             Case{"two slots at once", 3000, 9000, 6000, false},
             Case{"past the last slot a book holds", 32767ull * 3000, 32767ull * 3000, 3000, false},
         }) {
        SCOPED_TRACE(c.what);
        const Bytes bytes(c.count, 'n');
        const std::size_t overlap =
            c.start < c.oldLength ? std::min<std::size_t>(c.count, c.oldLength - c.start) : 0;
        const Bytes before(overlap, 'o');
        const Bytes encoded = encodeJournal(makeSlotWrite(c.start, c.oldLength, bytes, before));
        EXPECT_EQ(decodeJournal(encoded).has_value(), c.read);
    }
}

// The file's shape is judged first: a journal never writes into a file
// too large to be written, and an uneven file is copied before it does.
TEST_F(Journal, TheFilesShapeIsJudgedBeforeTheJournalIsUsed) {
    Bytes uneven = slotsOf({"Adams", "Baker"});
    uneven.resize(7000, 'x');  // a ragged tail of someone else's
    const auto [journalBytes, torn] = test::tornRewrite(uneven, 1);
    writeFile(data(), torn);
    writeFile(journal(), journalBytes);
    EXPECT_EQ(open().size(), 1u);
    EXPECT_EQ(readFile(dir.file("Corvane.Data.uneven-length-copy")), torn);
    EXPECT_EQ(namesIn(readFile(data()))[0], "Bell");

    const Bytes tooLarge(static_cast<std::size_t>(kMaxRecords + 1) * 3000, ' ');
    const auto [largeJournal, tornLarge] = test::tornRewrite(tooLarge, 1);
    writeFile(data(), tornLarge);
    writeFile(journal(), largeJournal);
    EXPECT_EQ(open().size(), 1u);
    EXPECT_EQ(readFile(data()), tornLarge);
    EXPECT_EQ(readFile(journal()), largeJournal);
}

}  // namespace
}  // namespace corvane
