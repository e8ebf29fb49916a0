# The Debian 12 packages Corvane needs, sourced by run.sh and test.sh.
# To build and run:
RUN_PACKAGES=(
    build-essential       # compiler and make
    cmake
    ninja-build
    pkg-config
    qt6-base-dev          # Qt 6 Core, Gui, Widgets, PrintSupport, Network, Test
    qt6-image-formats-plugins  # more picture formats for entry pictures
    qtkeychain-qt6-dev    # the sync password in the desktop's secret store
    libgl-dev             # needed by Qt's CMake files
    fonts-liberation      # metric-compatible with Arial, so printouts keep their widths
)
# Only to test and measure:
TEST_PACKAGES=(
    libgtest-dev
    libgmock-dev
    libbenchmark-dev
    poppler-utils         # pdftotext reads printouts back in the tests
    desktop-file-utils    # desktop-file-validate checks the installed menu entry
    appstream             # appstreamcli checks the installed metainfo
    radicale              # a real CardDAV server on 127.0.0.1 for the sync tests
    dbus-daemon           # a D-Bus session of the tests' own (dbus-run-session) ...
    gnome-keyring         # ... with a secret store, for the sync password's tests
)
# Only to fuzz (scripts/fuzz.sh):
FUZZ_PACKAGES=(
    clang-14              # libFuzzer's compiler
    libclang-rt-14-dev    # libFuzzer and the sanitizers' runtimes for clang
)
