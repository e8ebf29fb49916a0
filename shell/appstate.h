#pragma once

// What the whole program shares: the data file with its record buffer and
// counts, the preferences, the desktop seams and the few program-wide flags.
// The application owns one; every test makes its own.

#include <QDateTime>
#include <QString>

class QWidget;
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "datafile.h"
#include "listlink.h"
#include "platform.h"
#include "printersurface.h"
#include "searchstate.h"
#include "settings.h"

namespace corvane {

class AppState {
  public:
    // `directory` is where the data files live; empty is the current directory.
    explicit AppState(Platform& platform, std::string directory = {},
                      FileSystem& fs = realFileSystem());

    Platform& platform;
    // The data file: DataFileNumber, RecordCount and CurrentRecord.
    DataFile store;
    Settings settings;

    // Fading is active (set at each window's load, switched by the user).
    bool FadeEnabled = false;
    // "/m" on the command line: quit without asking.
    bool QuitWithoutAsking = false;
    // The search state of the last find or filter: the phrase, which fields
    // (1 all text, 2 all but comments, 3 comments, 4 affiliations; 0 before
    // the first find) and capitalization (1 ignored, 0 exact).
    QString SearchPhrase;
    SearchScope SearchOption = SearchScope::None;
    SearchCompare SearchCompareMode = SearchCompare::IgnoreCase;
    // Set by a window before it opens the help.
    int HelpStartTopic = 0;
    bool HelpSingleTopic = false;
    // The picture viewer's picture, for the entry report.
    int PictureHeight = 0;
    int PictureWidth = 0;
    bool PrintPictureAtOnce = false;

    // Ends the process once every window is closed; tests record it instead.
    std::function<void()> endProcess;
    // Opens the entry editor modally over `owner` to add an entry or to view
    // the list's current row; empty until the editor exists.
    std::function<void(QWidget* owner, EditorMode mode, ListLink& list)> openEntryEditor;
    // Opens the help window modally on HelpStartTopic; empty until it exists.
    std::function<void(QWidget* owner)> openHelp;
    // Starts a printout named `documentName` for `owner`; empty for the
    // real printer, or a PDF file when there is none. Tests record instead.
    std::function<std::unique_ptr<PrinterSurface>(QWidget* owner, const QString& documentName)>
        openPrinter;
    // The password of the sync account `user` at `book`, or empty when the
    // user gave none; empty for the desktop's secret store and a question
    // asked once. Tests answer instead.
    std::function<QString(QWidget* owner, const QString& user, const QString& book)> syncPassword;
    // How long after a change to the book the window syncs quietly.
    int syncDelayMs = 5000;
    // A damaged data file is shown to the user once per run.
    bool damageReported = false;
    // What the store said of its journal that the user has been told this run.
    std::set<std::string> toldNotices;

    // The path of a file beside the data file.
    QString path(const char* name) const;
    // The clock as an OLE Automation date, the data file's date values.
    double now() const;

  private:
    std::string m_directory;
};

// `when` as an OLE Automation date (local time, to the millisecond).
double toOleDate(const QDateTime& when);

}  // namespace corvane
