#pragma once

// The program's version, defined once: the title window, `--version` and the
// creator stamp of every new record read it from here.

namespace corvane {

inline constexpr int kVersionMajor = 8;
inline constexpr int kVersionMinor = 14;
inline constexpr int kVersionRevision = 29;
inline constexpr const char* kVersionText = "8.14.29";

}  // namespace corvane
