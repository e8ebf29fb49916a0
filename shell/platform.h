#pragma once

// Everything that leaves the program or waits for a person goes through
// Platform: message boxes, the save dialog, opening an address in the mail
// program or the browser, the default printer, and the clock. The program uses QtPlatform; tests
// use a double that records what was asked and answers as the test says.

#include <QDateTime>
#include <QString>

class QWidget;

namespace corvane {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct MessageBoxSpec {
    QString title;
    QString text;  // lines separated by "\n"
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    int defaultButton = 1;  // 1, 2 or 3: which of the buttons, in their order
};

// The buttons of a set, in the order they stand.
QList<MsgAnswer> answersOf(MsgButtons buttons);

class Platform {
  public:
    virtual ~Platform() = default;

    // Shows a modal message box over `owner` and returns the button chosen.
    virtual MsgAnswer messageBox(QWidget* owner, const MessageBoxSpec& spec) = 0;
    // Hands `address` ("mailto:..." or "http://...", exactly as built) to the
    // desktop's handler; false when the desktop refuses it.
    virtual bool openAddress(const QString& address) = 0;
    // The local date and time.
    virtual QDateTime now() = 0;
    // Asks for the name of a file to write, suggesting `suggestedPath`;
    // empty when the user cancels.
    virtual QString saveFileName(QWidget* owner, const QString& caption,
                                 const QString& suggestedPath, const QString& filter) = 0;
    // Asks for a file to open in the desktop's own dialog, starting in
    // `folder`; empty when the user cancels.
    virtual QString openFileName(QWidget* owner, const QString& folder) = 0;
    // The name of the system's default printer; empty when there is none.
    virtual QString defaultPrinterName() = 0;
};

// The real desktop. Without a display to show it on (the offscreen
// platform), a message box is written to standard error and answered with
// its default button, and a save dialog is cancelled, so that nothing waits
// for a person who is not there.
class QtPlatform final : public Platform {
  public:
    MsgAnswer messageBox(QWidget* owner, const MessageBoxSpec& spec) override;
    bool openAddress(const QString& address) override;
    QDateTime now() override;
    QString saveFileName(QWidget* owner, const QString& caption, const QString& suggestedPath,
                         const QString& filter) override;
    QString openFileName(QWidget* owner, const QString& folder) override;
    QString defaultPrinterName() override;
};

}  // namespace corvane
