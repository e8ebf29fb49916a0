#pragma once

// A main window over a data file the test writes, on the fake desktop, on
// the real disk or on one that fails when told to.

#include <QTest>
#include <memory>

#include "../shell/shelltestsupport.h"
#include "contactgrid.h"
#include "frmmain.h"
#include "orielbutton.h"

namespace corvane {

// Reaches into the main window where a test must read its private state.
class frmMainTest {
  public:
    static int& savedRow(frmMain& w) { return w.m_savedRow; }
    static int& savedTopRow(frmMain& w) { return w.m_savedTopRow; }
    static QString addEntryTag(const frmMain& w) { return w.m_addEntryTag; }
    static bool keypress(frmMain& w, const QString& text) { return w.Form_Keypress(text); }
};

namespace test {

inline ContactRecord entry(const std::string& name, const std::string& nickname = {}) {
    ContactRecord record;
    record.setText(Field::FullName, name);
    record.setText(Field::Nickname, nickname);
    return record;
}

template <class Shell>
class MainWindowOver : public Shell {
  public:
    using Shell::app;
    void writeBook(const std::vector<ContactRecord>& records) {
        Bytes bytes;
        for (const ContactRecord& r : records) {
            bytes.insert(bytes.end(), r.encode().begin(), r.encode().end());
        }
        writeFile(app.path("Corvane.Data").toStdString(), bytes);
    }

    // Opens the main window as the program does after the title window.
    frmMain& open(int columnToIndex = 3) {
        app.settings.setColumnToIndex(columnToIndex);
        window = std::make_unique<frmMain>(app);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->show();
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window.get());
        QCoreApplication::processEvents();  // the first activation follows the showing
        return *window;
    }

    ContactGrid& grid() { return *window->grid(); }
    OrielButton* button(const char* name) { return window->findChild<OrielButton*>(name); }
    QStringList names() {
        QStringList out;
        for (int r = 1; r < grid().Rows(); ++r) {
            out << grid().TextMatrix(r, 0);
        }
        return out;
    }

    std::unique_ptr<frmMain> window;
};

using MainWindowFixture = MainWindowOver<ShellFixture>;
using FaultyMainWindowFixture = MainWindowOver<FaultyShellFixture>;

}  // namespace test
}  // namespace corvane
