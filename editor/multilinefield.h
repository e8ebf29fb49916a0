#pragma once

// A multi-line text field that keeps its line breaks as CR LF, as the record
// stores them, and never takes in more characters than its maximum, a line
// break counting two, whether the text is typed, pasted or dropped. The
// maximum is for what the user adds: a longer text loaded from the file
// (converted comments hold up to 1097 characters) is shown and kept whole.

#include <QPlainTextEdit>

namespace corvane {

class MultiLineField : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit MultiLineField(int maxLength, QWidget* parent = nullptr);

    // The text with CR LF line breaks.
    QString text() const;
    // Shows `text` whole, even beyond the maximum.
    void setText(const QString& text);
    // Characters as stored: a line break counts two.
    int storedLength() const;
    int maxLength() const { return m_maxLength; }

  signals:
    void focusIn();
    void focusOut();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    // The document's text, its line breaks as LF, its no-break spaces kept.
    QString documentText() const;
    // How many stored characters may still be inserted in place of the selection.
    int room() const;
    void insertLimited(QString text);
    void enforceLimit();

    int m_maxLength;
    int m_loadedLength = 0;  // what setText showed; never cut back below it
    bool m_enforcing = false;
};

// The stored length of `text` as a multi-line field holds it (line feeds
// become CR LF).
int storedLengthOf(const QString& plainText);

}  // namespace corvane
