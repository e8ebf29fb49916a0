#pragma once

#include <functional>

// The desktop as the tests play it: message boxes are recorded and answered
// from a script (the default button when the script is empty), addresses
// are recorded and accepted or refused, save dialogs answer from a list,
// there is no printer, and the clock stands still.

#include <QDateTime>
#include <QList>
#include <QStringList>

#include "platform.h"

namespace corvane::test {

class FakePlatform final : public Platform {
  public:
    MsgAnswer messageBox(QWidget*, const MessageBoxSpec& spec) override {
        messages.append(spec);
        if (whileShown) {
            whileShown(spec);  // what the user does while the box is up
        }
        if (!answers.isEmpty()) {
            return answers.takeFirst();
        }
        const QList<MsgAnswer> options = answersOf(spec.buttons);
        return options.value(spec.defaultButton - 1, options.first());
    }
    bool openAddress(const QString& address) override {
        addresses.append(address);
        return openSucceeds;
    }
    QDateTime now() override { return clock; }
    QString saveFileName(QWidget*, const QString& caption, const QString& suggestedPath,
                         const QString& filter) override {
        saveDialogs.append({caption, suggestedPath, filter});
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    QString openFileName(QWidget*, const QString& folder) override {
        openDialogFolders.append(folder);
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString defaultPrinterName() override { return printerName; }

    QStringList titles() const {
        QStringList out;
        for (const MessageBoxSpec& m : messages) {
            out.append(m.title);
        }
        return out;
    }

    struct SaveDialog {
        QString caption;
        QString suggestedPath;
        QString filter;
    };

    QList<MessageBoxSpec> messages;
    std::function<void(const MessageBoxSpec&)> whileShown;
    // The save dialogs asked for, and the names they answer (cancelled
    // when none is left).
    QList<SaveDialog> saveDialogs;
    QStringList saveAnswers;
    QString printerName;  // no printer, so printouts become PDF files
    // The open dialogs asked for (their folders), and the files they answer.
    QStringList openDialogFolders;
    QStringList openAnswers;
    QList<MsgAnswer> answers;
    QStringList addresses;
    bool openSucceeds = true;
    QDateTime clock{QDate(2026, 12, 8), QTime(9, 30, 15)};
};

}  // namespace corvane::test
