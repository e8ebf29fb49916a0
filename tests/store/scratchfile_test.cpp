// The new file a deletion, a conversion or a damaged file's copy writes
// beside the book: whole in its place, or gone.

#include "scratchfile.h"

#include <gtest/gtest.h>

#include "faultyfilesystem.h"
#include "testsupport.h"

namespace corvane {
namespace {

using test::Bytes;
using test::readFile;
using test::writeFile;

TEST(ScratchFile, AFailureAtAnyStepLeavesNothingAndNeverReplacesWhatWasThere) {
    test::TempDir dir;
    const std::string name = dir.file("TempFile.Data");
    const std::string target = dir.file("Corvane.Data");
    const Bytes bytes(5000, 'n');
    // Each step of a file placed without replacing, failed in turn.
    for (int step = 1;; ++step) {
        SCOPED_TRACE("failing step " + std::to_string(step));
        test::FaultyFileSystem fs;
        fs.failStep(step);
        {
            ScratchFile scratch(fs, name);
            StoreStatus status = scratch.create(0600, ScratchFile::Leftover::Remove);
            for (std::size_t at = 0; status.ok() && at < bytes.size(); at += 1000) {
                status = scratch.write(at, bytes.data() + at, 1000);
            }
            if (status.ok()) {
                status = scratch.finish();
            }
            if (status.ok()) {
                status = scratch.placeAs(target, false);
            }
            if (!fs.failed()) {
                ASSERT_TRUE(status.ok()) << status.message();
                break;
            }
            EXPECT_FALSE(status.ok());
        }
        EXPECT_FALSE(test::fileExists(name)) << "a partial file was left";
        EXPECT_FALSE(test::fileExists(target));
    }
    EXPECT_EQ(readFile(target), bytes);

    // Placed without replacing, over a file that appeared: refused, and gone.
    {
        test::FaultyFileSystem fs;
        ScratchFile scratch(fs, name);
        ASSERT_TRUE(scratch.create(0600, ScratchFile::Leftover::Refuse).ok());
        ASSERT_TRUE(scratch.finish().ok());
        EXPECT_EQ(scratch.placeAs(target, false).error, StoreError::AlreadyExists);
    }
    EXPECT_EQ(readFile(target), bytes);
    EXPECT_FALSE(test::fileExists(name));

    // A name that is taken is refused when asked, never written through.
    writeFile(name, Bytes{'k', 'e', 'e', 'p'});
    test::FaultyFileSystem fs;
    ScratchFile refused(fs, name);
    EXPECT_EQ(refused.create(0600, ScratchFile::Leftover::Refuse).error, StoreError::AlreadyExists);
    EXPECT_EQ(readFile(name), (Bytes{'k', 'e', 'e', 'p'}));
}

}  // namespace
}  // namespace corvane
