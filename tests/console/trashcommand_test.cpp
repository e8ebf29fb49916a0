// `corvane --deleted` and `--restore N`: the trash listed newest first, an
// entry put back in its place, and the refusals.

#include <gtest/gtest.h>

#include "../store/storetestdata.h"
#include "booklock.h"
#include "datafile.h"
#include "testsupport.h"
#include "trash.h"

namespace corvane {
namespace {

const std::string kProgram = CORVANE_BINARY;
using test::runProgram;

TEST(TrashCommand, ListsNewestFirstAndRestoresIntoTheOldPlace) {
    test::TempDir dir;
    const test::Bytes before = test::slotsOf({"Adams", "Baker", "Clark"});
    test::writeFile(dir.file("Corvane.Data"), before);
    {
        DataFile store(realFileSystem(), dir.path().string());
        ASSERT_TRUE(store.DeleteAndCompact(2).ok());
        ASSERT_TRUE(store.DeleteAndCompact(1).ok());
    }
    const auto listed = runProgram(kProgram, {"--deleted"}, dir.path().string());
    EXPECT_EQ(listed.exitStatus, 0) << listed.err;
    const auto lines = QString::fromStdString(listed.out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << listed.out;
    EXPECT_TRUE(lines[0].startsWith(u"1  ") && lines[0].endsWith(u"  Adams")) << listed.out;
    EXPECT_TRUE(lines[1].startsWith(u"2  ") && lines[1].endsWith(u"  Baker")) << listed.out;

    for (const auto& [number, said] : {std::pair{"1", "Restored \"Adams\" as entry 1.\n"},
                                       std::pair{"1", "Restored \"Baker\" as entry 2.\n"}}) {
        const auto restored = runProgram(kProgram, {"--restore", number}, dir.path().string());
        EXPECT_EQ(restored.exitStatus, 0) << restored.err;
        EXPECT_EQ(restored.out, said);
    }
    EXPECT_EQ(test::readFile(dir.file("Corvane.Data")), before);
    EXPECT_EQ(runProgram(kProgram, {"--deleted"}, dir.path().string()).out, "");
}

TEST(TrashCommand, RefusesWhatItCannotDo) {
    test::TempDir dir;
    test::writeFile(dir.file("Corvane.Data"), test::slotsOf({"Adams", "Baker"}));
    {
        DataFile store(realFileSystem(), dir.path().string());
        ASSERT_TRUE(store.DeleteAndCompact(1).ok());
    }
    const auto none = runProgram(kProgram, {"--restore", "2"}, dir.path().string());
    EXPECT_EQ(none.exitStatus, 1);
    EXPECT_NE(none.err.find("there is no deleted entry 2"), std::string::npos) << none.err;
    EXPECT_EQ(runProgram(kProgram, {"--restore", "x"}, dir.path().string()).exitStatus, 1);
    {
        BookLock running(dir.path().string());
        ASSERT_EQ(running.tryAcquire(), BookLock::Result::Acquired);
        const auto refused = runProgram(kProgram, {"--restore", "1"}, dir.path().string());
        EXPECT_EQ(refused.exitStatus, 1);
        EXPECT_NE(refused.err.find("Corvane is running"), std::string::npos) << refused.err;
    }
    test::writeFile(dir.file("Corvane.Data.trash"), test::Bytes(3040, 'x'));
    const auto damaged = runProgram(kProgram, {"--deleted"}, dir.path().string());
    EXPECT_EQ(damaged.exitStatus, 2);
    EXPECT_NE(damaged.err.find("does not read whole"), std::string::npos) << damaged.err;
}

}  // namespace
}  // namespace corvane
