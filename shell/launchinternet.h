#pragma once

// The program's one way out to the user's mail program and browser.

#include <QString>

class QWidget;

namespace corvane {

class Platform;

inline constexpr int kLaunchEmail = 1;
inline constexpr int kLaunchWebPage = 2;

// The address for `kind` and `target`: "mailto:" or "http://" followed by
// the target exactly as given (not trimmed, checked or encoded), or by the
// maker's address when the target is empty.
QString internetAddress(int kind, const QString& target);

// Hands the address to the desktop. When the desktop refuses it, tells the
// user "Could not establish an internet connection!".
void LaunchInternet(Platform& platform, int kind, QWidget* owner, const QString& target);

}  // namespace corvane
