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

namespace {

// A CR or LF stored alone (not as a CR LF pair) stands in the document as
// its visible symbol: the document would make either a line break, which
// is stored as two characters.
constexpr QChar kLoneCr(0x240D);
constexpr QChar kLoneLf(0x240A);

}  // namespace

QString MultiLineField::documentText() const {
    // The raw text keeps a no-break space (the plain text makes it a blank);
    // its paragraph breaks are the field's line breaks.
    QString raw = document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, u'\n');
    raw.replace(QChar::LineSeparator, u'\n');
    return raw;
}

QString MultiLineField::text() const {
    QString stored;
    for (const QChar c : documentText()) {
        if (c == u'\n') {
            stored += QStringLiteral("\r\n");
        } else {
            stored += c == kLoneCr ? QChar(u'\r') : c == kLoneLf ? QChar(u'\n') : c;
        }
    }
    return stored;
}

void MultiLineField::setText(const QString& text) {
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            plain += u'\n';
            ++i;
        } else {
            plain += text[i] == u'\r' ? kLoneCr : text[i] == u'\n' ? kLoneLf : text[i];
        }
    }
    m_loadedLength = storedLengthOf(plain);
    setPlainText(plain);
}

int MultiLineField::storedLength() const {
    return storedLengthOf(documentText());
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
    QString plain = documentText();
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
