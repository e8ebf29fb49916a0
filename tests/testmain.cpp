// The main of every test binary. Before anything else it points the runtime
// and configuration folders at fresh temporary folders, chooses the
// offscreen platform and pins the locale, so that no test reads or writes
// the user's files, needs a display, or reads dates, month names, system
// error texts or the sort order of whatever machine it runs on (test
// discovery at build time runs this main too). Tests that are about a
// language set it themselves and put the pinned one back.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <clocale>
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

    // The C locale (in UTF-8) for the C library and the programs the tests
    // start; the same for Qt, whose default every window reads.
    setenv("LC_ALL", "C.UTF-8", 1);
    setenv("LANG", "C.UTF-8", 1);
    unsetenv("LANGUAGE");
    std::setlocale(LC_ALL, "C.UTF-8");
    QLocale::setDefault(QLocale::c());

    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
