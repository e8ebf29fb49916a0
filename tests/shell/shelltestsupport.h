#pragma once

// What the shell's tests share: a private settings file and a folder for the
// data files, and an AppState on the fake desktop that uses both.

#include <QApplication>
#include <QSettings>
#include <QTimer>
#include <QWidget>
#include <functional>

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

// Runs `action` on the modal window that opens next, once it is shown.
inline void onNextModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

}  // namespace corvane::test
