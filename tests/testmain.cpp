// The main of every test binary. Before anything else it points the runtime
// and configuration folders at fresh temporary folders and chooses the
// offscreen platform, so that no test reads or writes the user's files or
// needs a display (test discovery at build time runs this main too).

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "testsupport.h"

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    const corvane::test::TempDir runtimeDir;
    const corvane::test::TempDir configDir;
    std::filesystem::permissions(runtimeDir.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    setenv("XDG_RUNTIME_DIR", runtimeDir.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", configDir.path().c_str(), 1);

    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
