#include "multilinefield.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <algorithm>

namespace corvane {

int storedLengthOf(const QString& plainText) {
    return static_cast<int>(plainText.size() + plainText.count(u'\n'));
}

MultiLineField::MultiLineField(int maxLength, QWidget* parent)
    : QPlainTextEdit(parent), m_maxLength(maxLength) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(true);
    // Anything that gets past the key and paste handling (an input method,
    // an undo) is cut back here.
    connect(this, &QPlainTextEdit::textChanged, this, &MultiLineField::enforceLimit);
}

QString MultiLineField::text() const {
    QString plain = toPlainText();
    plain.replace(u'\n', QStringLiteral("\r\n"));
    return plain;
}

void MultiLineField::setText(const QString& text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_loadedLength = storedLengthOf(plain);
    setPlainText(plain);
}

int MultiLineField::storedLength() const {
    return storedLengthOf(toPlainText());
}

int MultiLineField::room() const {
    const QString selected = textCursor().selectedText();
    // A selection's paragraph breaks come back as U+2029.
    int selectedLength =
        static_cast<int>(selected.size() + selected.count(QChar::ParagraphSeparator));
    return m_maxLength - storedLength() + selectedLength;
}

void MultiLineField::insertLimited(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    int available = room();
    QString fits;
    for (QChar c : text) {
        const int cost = c == u'\n' ? 2 : 1;
        if (cost > available) {
            break;
        }
        available -= cost;
        fits += c;
    }
    if (!fits.isEmpty() || textCursor().hasSelection()) {
        textCursor().insertText(fits);
    }
}

void MultiLineField::keyPressEvent(QKeyEvent* event) {
    const bool newline = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString text = newline ? QStringLiteral("\n") : event->text();
    const bool inserts =
        newline || (!text.isEmpty() && text.at(0).isPrint() &&
                    !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)));
    if (inserts) {
        insertLimited(text);
        ensureCursorVisible();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void MultiLineField::insertFromMimeData(const QMimeData* source) {
    if (source != nullptr && source->hasText()) {
        insertLimited(source->text());
    }
}

void MultiLineField::enforceLimit() {
    const int limit = std::max(m_maxLength, m_loadedLength);
    if (m_enforcing || storedLength() <= limit) {
        return;
    }
    m_enforcing = true;
    QString plain = toPlainText();
    while (storedLengthOf(plain) > limit) {
        plain.chop(1);
    }
    setPlainText(plain);
    moveCursor(QTextCursor::End);
    m_enforcing = false;
}

void MultiLineField::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    emit focusIn();
}

void MultiLineField::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    emit focusOut();
}

}  // namespace corvane
