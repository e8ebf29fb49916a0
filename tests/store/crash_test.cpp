// Each change of the store, run in a child process and killed with SIGKILL
// at a random moment of it, many times over. After every kill the next
// start must find the data file byte for byte as it was before the change
// or as the change meant it, and the book must go on working.
//
// CORVANE_CRASH_RUNS sets the kills per change (20 by default; 200 for a
// longer run).

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

#include "datafile.h"
#include "storetestdata.h"
#include "testsupport.h"
#include "trash.h"

extern char** environ;

namespace corvane {
namespace {

using test::Bytes;
using test::readFile;
using test::slotsOf;
using test::writeFile;
using Clock = std::chrono::steady_clock;

int runsPerChange() {
    const char* runs = std::getenv("CORVANE_CRASH_RUNS");
    return runs ? std::max(1, std::atoi(runs)) : 20;
}

// A folder in memory where there is one: a kill loses nothing a disk
// would keep, so the folder need not be on one, and the large file's
// copies cost less there.
class CrashFolder {
  public:
    CrashFolder() {
        const std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string templ = base + "/corvane-crash-XXXXXX";
        m_path = ::mkdtemp(templ.data());
    }
    ~CrashFolder() { std::filesystem::remove_all(m_path); }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    const std::string& path() const { return m_path; }
    // Makes the folder hold exactly `files`.
    void reset(const std::map<std::string, Bytes>& files) const {
        for (const auto& entry : std::filesystem::directory_iterator(m_path)) {
            std::filesystem::remove(entry.path());
        }
        for (const auto& [name, bytes] : files) {
            writeFile(file(name), bytes);
        }
    }

  private:
    std::string m_path;
};

// The child, started on `args`; `go()` waits until its change begins.
class Child {
  public:
    explicit Child(const std::vector<std::string>& args) {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        std::vector<char*> argv{const_cast<char*>(CORVANE_CRASH_CHILD)};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&m_pid, CORVANE_CRASH_CHILD, &actions, nullptr, argv.data(), environ),
                  0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        m_out = fds[0];
    }
    ~Child() {
        if (m_pid > 0) {
            kill();
        }
        ::close(m_out);
    }
    bool go() {
        char buffer[3];
        return ::read(m_out, buffer, 3) == 3;
    }
    // Waits until the child says it has paused (after go()).
    bool paused() {
        char buffer[7];
        return ::read(m_out, buffer, 7) == 7 && std::string(buffer, 7) == "paused\n";
    }
    // Kills the child; true when it was still at work.
    bool kill() {
        int status = 0;
        const bool running = ::waitpid(m_pid, &status, WNOHANG) == 0;
        if (running) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
        }
        m_pid = 0;
        return running;
    }
    int wait() {
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    pid_t m_pid = 0;
    int m_out = -1;
};

struct Tally {
    int killedAtWork = 0;
    int foundBefore = 0;
    int foundAfter = 0;
};

// Runs the change `args` (the folder is added) to the end once to learn
// the file it makes and how long it takes, then kills it at random moments
// of that time and checks what the next start finds. `deleteAfter` also
// makes a deletion on what was found.
Tally killRepeatedly(const CrashFolder& folder, const std::map<std::string, Bytes>& files,
                     std::vector<std::string> args, bool deleteAfter,
                     const std::function<void(const Bytes& found)>& alsoCheck = {}) {
    args.push_back(folder.path());
    const std::string data = folder.file(std::string(kDataFileName));
    folder.reset(files);
    const Bytes before =
        files.contains(std::string(kDataFileName)) ? files.at(std::string(kDataFileName)) : Bytes{};
    Clock::duration took{};
    {
        Child child(args);
        EXPECT_TRUE(child.go());
        const auto start = Clock::now();
        EXPECT_EQ(child.wait(), 0);
        took = Clock::now() - start;
    }
    const Bytes after = readFile(data);
    EXPECT_NE(after, before);

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<long long> moment(
        0, std::chrono::duration_cast<std::chrono::microseconds>(took).count());
    Tally tally;
    for (int run = 0; run < runsPerChange(); ++run) {
        folder.reset(files);
        {
            Child child(args);
            EXPECT_TRUE(child.go());
            std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
            tally.killedAtWork += child.kill() ? 1 : 0;
        }
        DataFile store(realFileSystem(), folder.path());
        store.setCreateWhenMissing(false);
        EXPECT_TRUE(store.OpenDataFile().ok());
        EXPECT_TRUE(store.CloseDataFile().ok());
        const Bytes found = test::fileExists(data) ? readFile(data) : Bytes{};
        tally.foundBefore += found == before ? 1 : 0;
        tally.foundAfter += found == after ? 1 : 0;
        EXPECT_TRUE(found == before || found == after)
            << "run " << run << ": " << found.size() << " bytes, "
            << ::testing::PrintToString(test::namesIn(found));
        if (alsoCheck) {
            alsoCheck(found);
        }
        if (deleteAfter && !found.empty()) {
            EXPECT_TRUE(store.DeleteAndCompact(1).ok());
            EXPECT_FALSE(test::fileExists(folder.file(std::string(kScratchFileName))));
        }
    }
    std::printf("%s: %d kills, %d at work; found as before %d, as after %d\n", args[0].c_str(),
                runsPerChange(), tally.killedAtWork, tally.foundBefore, tally.foundAfter);
    return tally;
}

std::vector<std::string> namesUpTo(int count) {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        names.push_back("Entry " + std::to_string(i));
    }
    return names;
}

TEST(Crash, SavingAnEntry) {
    const CrashFolder folder;
    const std::map<std::string, Bytes> book{{std::string(kDataFileName), slotsOf(namesUpTo(50))}};
    killRepeatedly(folder, book, {"save", "51"}, true);  // an append
    killRepeatedly(folder, book, {"save", "20"}, true);  // a rewrite
}

// The two moments of a save a random kill rarely hits on a fast disk:
// after the journal is flushed and before the slot is written, and after
// the slot is flushed and before the journal is emptied. Then, with the
// journal left whole, another program changes the entry: the next start
// must leave that change alone.
TEST(Crash, KilledAtTheJournalsTwoEdgesAndChangedByAnotherProgramAfter) {
    const CrashFolder folder;
    const Bytes before = slotsOf(namesUpTo(5));
    const Bytes after = test::savedAs(before, 3, "Crashed");
    const Bytes otherProgram = test::savedAs(after, 3, "Changed in Windows");
    struct Case {
        const char* pauseBefore;
        Bytes changedTo;  // what another program makes of the file after the kill, if anything
        Bytes found;
    };
    for (const Case& c :
         {Case{"write Corvane.Data", {}, before}, Case{"write Corvane.Data.journal#2", {}, after},
          Case{"write Corvane.Data.journal#2", otherProgram, otherProgram}}) {
        SCOPED_TRACE(c.pauseBefore);
        folder.reset({{std::string(kDataFileName), before}});
        {
            Child child({"save", "3", folder.path(), c.pauseBefore});
            ASSERT_TRUE(child.go());
            ASSERT_TRUE(child.paused());
            EXPECT_TRUE(child.kill());
        }
        ASSERT_TRUE(decodeJournal(readFile(folder.file(std::string(kJournalFileName)))));
        if (!c.changedTo.empty()) {
            writeFile(folder.file(std::string(kDataFileName)), c.changedTo);
        }
        DataFile store(realFileSystem(), folder.path());
        EXPECT_TRUE(store.OpenDataFile().ok());
        EXPECT_TRUE(store.CloseDataFile().ok());
        EXPECT_EQ(test::namesIn(readFile(folder.file(std::string(kDataFileName)))),
                  test::namesIn(c.found));
        EXPECT_TRUE(store.DeleteAndCompact(1).ok());
    }
}

// Whenever the entry has left the book, it is in the trash.
TEST(Crash, DeletingFromAFullBook) {
    const CrashFolder folder;
    const std::string data = folder.file(std::string(kDataFileName));
    const Bytes full = slotsOf(namesUpTo(kMaxRecords));
    killRepeatedly(folder, {{std::string(kDataFileName), full}}, {"delete", "2"}, false,
                   [&](const Bytes& found) {
                       if (found.size() == full.size()) {
                           return;  // not deleted
                       }
                       std::vector<TrashedEntry> kept;
                       std::string problem;
                       ASSERT_TRUE(Trash(realFileSystem(), data).read(kept, problem).ok());
                       ASSERT_FALSE(kept.empty()) << problem;
                       EXPECT_EQ(kept.back().record.text(Field::FullName), "Entry 2");
                   });
}

TEST(Crash, ConvertingThePreviousFormat) {
    const CrashFolder folder;
    Bytes old(500 * OldContactRecord::kSize, ' ');
    for (std::size_t i = 0; i < 500; ++i) {
        old[i * OldContactRecord::kSize] = static_cast<std::uint8_t>('A' + i % 26);
    }
    killRepeatedly(folder, {{std::string(kOldDataFileName), old}}, {"convert"}, true);
}

}  // namespace
}  // namespace corvane
