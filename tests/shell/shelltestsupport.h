#pragma once

// What the shell's tests share: a private settings file and a folder for the
// data files, and an AppState on the fake desktop that uses both.

#include <QApplication>
#include <QSettings>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "../store/faultyfilesystem.h"
#include "appstate.h"
#include "fakeplatform.h"
#include "testsupport.h"

namespace corvane::test {

// Points the program's settings at a fresh folder for as long as it lives.
class PrivateSettings {
  public:
    PrivateSettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(m_folder.path().string()));
    }

  private:
    TempDir m_folder;
};

struct ShellFixture {
    ShellFixture() {
        app.endProcess = [this] { ++processEnded; };
    }
    PrivateSettings settings;
    TempDir dir;
    FakePlatform platform;
    AppState app{platform, dir.path().string()};
    int processEnded = 0;
};

// The same program state over a disk that fails a chosen step.
struct FaultyShellFixture {
    FaultyShellFixture() {
        app.endProcess = [] {};
    }
    PrivateSettings settings;
    TempDir dir;
    FakePlatform platform;
    FaultyFileSystem fs;
    AppState app{platform, dir.path().string(), fs};
};

// Runs `action` on the modal window that opens next, once it is shown. A
// failed assertion inside `action` closes the window, and a window that
// never opens is a failure after ten seconds, so that a red test fails at
// once instead of waiting for the test's time limit.
inline void onNextModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, action, waited] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            if (++*waited * 10 > 10000) {
                timer->stop();
                timer->deleteLater();
                ADD_FAILURE() << "no modal window opened";
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        action(modal);
        if (testing::Test::HasFailure() && QApplication::activeModalWidget() == modal) {
            ADD_FAILURE() << "closing the modal window " << modal->objectName().toStdString()
                          << " left open by a failed check";
            modal->close();
        }
    });
    timer->start();
}

}  // namespace corvane::test
