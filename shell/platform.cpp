#include "platform.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QUrl>
#include <algorithm>
#include <cstdio>

namespace corvane {
namespace {

QMessageBox::StandardButton standardButton(MsgAnswer answer) {
    switch (answer) {
        case MsgAnswer::Ok:
            return QMessageBox::Ok;
        case MsgAnswer::Cancel:
            return QMessageBox::Cancel;
        case MsgAnswer::Yes:
            return QMessageBox::Yes;
        case MsgAnswer::No:
            return QMessageBox::No;
        case MsgAnswer::Retry:
            return QMessageBox::Retry;
        case MsgAnswer::Abort:
            return QMessageBox::Abort;
        case MsgAnswer::Ignore:
            return QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon messageIcon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Critical:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

bool withoutDisplay() {
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

}  // namespace

QList<MsgAnswer> answersOf(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok:
            return {MsgAnswer::Ok};
        case MsgButtons::OkCancel:
            return {MsgAnswer::Ok, MsgAnswer::Cancel};
        case MsgButtons::YesNo:
            return {MsgAnswer::Yes, MsgAnswer::No};
        case MsgButtons::YesNoCancel:
            return {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel};
        case MsgButtons::RetryCancel:
            return {MsgAnswer::Retry, MsgAnswer::Cancel};
        case MsgButtons::AbortRetryIgnore:
            return {MsgAnswer::Abort, MsgAnswer::Retry, MsgAnswer::Ignore};
    }
    return {MsgAnswer::Ok};
}

MsgAnswer QtPlatform::messageBox(QWidget* owner, const MessageBoxSpec& spec) {
    const QList<MsgAnswer> answers = answersOf(spec.buttons);
    const int defaultIndex =
        std::clamp(spec.defaultButton, 1, static_cast<int>(answers.size())) - 1;
    if (withoutDisplay()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(spec.title),
                     qPrintable(QString(spec.text).replace(u'\n', u' ')));
        return answers[defaultIndex];
    }
    QMessageBox box(owner);
    box.setWindowTitle(spec.title);
    box.setText(spec.text);
    box.setTextFormat(Qt::PlainText);
    box.setIcon(messageIcon(spec.icon));
    for (MsgAnswer answer : answers) {
        box.addButton(standardButton(answer));
    }
    box.setDefaultButton(standardButton(answers[defaultIndex]));
    box.exec();
    const auto* clicked = box.clickedButton();
    for (MsgAnswer answer : answers) {
        if (clicked == box.button(standardButton(answer))) {
            return answer;
        }
    }
    // Closed without a button: the answer Esc would give.
    return answers.contains(MsgAnswer::Cancel) ? MsgAnswer::Cancel : answers.last();
}

bool QtPlatform::openAddress(const QString& address) {
    // Tolerant parsing keeps the address as typed; characters a URL cannot
    // carry (a blank, say) are percent-encoded on the way to the handler.
    return QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}

QDateTime QtPlatform::now() {
    return QDateTime::currentDateTime();
}

QString QtPlatform::saveFileName(QWidget* owner, const QString& caption,
                                 const QString& suggestedPath, const QString& filter) {
    if (withoutDisplay()) {
        std::fprintf(stderr, "%s: no display to ask on; nothing is written\n", qPrintable(caption));
        return {};
    }
    return QFileDialog::getSaveFileName(owner, caption, suggestedPath, filter);
}

QString QtPlatform::openFileName(QWidget* owner, const QString& folder) {
    if (withoutDisplay()) {
        std::fprintf(stderr, "Open: no display to ask on; nothing is opened\n");
        return {};
    }
    return QFileDialog::getOpenFileName(owner, QString(), folder);
}

QString QtPlatform::defaultPrinterName() {
    return QPrinterInfo::defaultPrinter().printerName();
}

}  // namespace corvane
