#include "frmprintlabel.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include "appstate.h"
#include "backgroundtiles.h"
#include "buttonstyles.h"
#include "labelprintout.h"
#include "modfadeinout.h"
#include "modstandard.h"
#include "orielbutton.h"
#include "printjob.h"
#include "twips.h"

namespace corvane {
namespace {

QLabel* staticText(QWidget* parent, const QString& text, QRect place) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setGeometry(place);
    return label;
}

void setBackground(QLineEdit* line, const char* colour) {
    line->setStyleSheet(QStringLiteral("QLineEdit { background: %1; }").arg(colour));
}

}  // namespace

frmPrintLabel::frmPrintLabel(AppState& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setObjectName(QStringLiteral("frmPrintLabel"));
    m_fade = new FadeController(this);
    m_close = std::make_unique<FadingClose>(*m_fade, [this] { QDialog::reject(); });
    m_app.FadeEnabled = modFadeInOut::ApplyWindowAlpha(this, 0, false, m_app.settings.fadeStatus());
    setFixedSize(twipsSize(6510 - 120, 5265 - 480));
    setWindowTitle(QStringLiteral(" Print a 1\" x 2 5/8\" Label"));

    staticText(this, QStringLiteral("You may edit the lines below if you wish..."),
               twipsRect(240, 120, 5900, 255));
    for (int i = 1; i <= 4; ++i) {
        auto* line = new QLineEdit(this);
        line->setObjectName(QStringLiteral("txtPrintLabel(%1)").arg(i));
        line->setMaxLength(kLabelLineLength);
        line->setGeometry(twipsRect(240, 420 + (i - 1) * 390, 3600, 315));
        setBackground(line, "#00ffff");
        line->installEventFilter(this);
        connect(line, &QLineEdit::textChanged, this, &frmPrintLabel::updateShrinkNote);
        m_txtPrintLabel[i] = line;
    }
    // Two lines of room, so that the hint shows whole beside its box.
    staticText(this, QStringLiteral("optional line (example-- attn: or re:)"),
               twipsRect(3960, 420 + 3 * 390 - 90, 2400, 480));

    staticText(this, QStringLiteral("Indicate which 'row & column' label to print..."),
               twipsRect(240, 2100, 5900, 255));
    const int maxima[3] = {0, kLabelRows, kLabelColumns};
    const char* captions[3] = {"", "Row 1", "Col 1"};
    for (int i = 1; i <= 2; ++i) {
        auto* bar = new QScrollBar(Qt::Horizontal, this);
        bar->setObjectName(QStringLiteral("scroll(%1)").arg(i));
        bar->setRange(1, maxima[i]);
        bar->setGeometry(twipsRect(240, 2400 + (i - 1) * 420, 2400, 285));
        connect(bar, &QScrollBar::valueChanged, this, [this, i] { scroll_Change(i); });
        m_scroll[i] = bar;
        auto* position = staticText(this, QString::fromLatin1(captions[i]),
                                    twipsRect(2760, 2400 + (i - 1) * 420, 900, 285));
        position->setObjectName(QStringLiteral("lblPosition(%1)").arg(i));
        m_lblPosition[i] = position;
    }
    m_lblShrink = staticText(this, {}, twipsRect(3780, 2400, 2460, 720));
    m_lblShrink->setObjectName(QStringLiteral("lblShrink"));

    staticText(this,
               QStringLiteral("Note: This feature assumes you are using an Avery 5160/8160 (or "
                              "equivalent) sheet of 1x2 5/8\" address labels."),
               twipsRect(240, 3360, 5900, 480));

    auto makeButton = [this](const char* name, const QString& caption, int left) {
        auto* button = new OrielButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->readProperties(buttonStyles::captionButton(caption));
        button->setGeometry(twipsRect(left, 3960, 1800, 570));
        return button;
    };
    m_cmdPrintLabel = makeButton("cmdPrintLabel", QStringLiteral("&Print"), 2400);
    m_cmdCancel = makeButton("cmdCancel", QStringLiteral("&Return"), 4320);
    m_cmdPrintLabel->setDefaultButton(true);
    m_cmdCancel->setCancelButton(true);
    connect(m_cmdPrintLabel, &OrielButton::Click, this, &frmPrintLabel::cmdPrintLabel_Click);
    connect(m_cmdCancel, &OrielButton::Click, this, &frmPrintLabel::cmdCancel_Click);

    modStandard::TileBackground(dialogTile(DialogTile::Label), this);
}

void frmPrintLabel::setLine(int index, const QString& text) {
    m_txtPrintLabel[static_cast<std::size_t>(index)]->setText(text.left(kLabelLineLength));
}

QString frmPrintLabel::line(int index) const {
    return m_txtPrintLabel[static_cast<std::size_t>(index)]->text();
}

void frmPrintLabel::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_firstShowing.shown();
}

void frmPrintLabel::Form_Activate() {
    m_cmdPrintLabel->setCaption(QStringLiteral("&Print\n<Enter>"));
    m_cmdPrintLabel->setToolTip(
        QStringLiteral(" Place an Avery 5160 label sheet (or equivalent) in the printer "));
    m_cmdCancel->setCaption(QStringLiteral("&Return\n<Esc>"));
    m_cmdPrintLabel->Refresh();
    m_cmdCancel->Refresh();
    if (m_app.FadeEnabled) {
        m_fade->StartFade(0, 255, 20, false);
    }
}

void frmPrintLabel::updateShrinkNote() {
    QStringList shrunk;
    bool cut = false;
    for (int i = 1; i <= 4; ++i) {
        const FittedLabelLine fitted = fitLabelLine(line(i));
        if (fitted.shrunk()) {
            shrunk << QString::number(i);
            cut = cut || fitted.text.size() < line(i).size();
        }
    }
    if (shrunk.isEmpty()) {
        m_lblShrink->clear();
        return;
    }
    const QString which =
        shrunk.size() == 1
            ? QStringLiteral("Line ") + shrunk.first() + QStringLiteral(" is")
            : QStringLiteral("Lines ") +
                  QStringList(shrunk.mid(0, shrunk.size() - 1)).join(QStringLiteral(", ")) +
                  QStringLiteral(" and ") + shrunk.last() + QStringLiteral(" are");
    m_lblShrink->setText(
        which +
        QStringLiteral(" too long for the label and will be printed "
                       "smaller") +
        (cut ? QStringLiteral(", and cut where even that is too wide.") : QStringLiteral(".")));
}

void frmPrintLabel::scroll_Change(int index) {
    QLabel* label = m_lblPosition[static_cast<std::size_t>(index)];
    label->setText(label->text().left(4) +
                   QString::number(m_scroll[static_cast<std::size_t>(index)]->value()));
}

// The line being edited is yellow, the others cyan.
bool frmPrintLabel::eventFilter(QObject* watched, QEvent* event) {
    if (auto* line = qobject_cast<QLineEdit*>(watched)) {
        if (event->type() == QEvent::FocusIn) {
            setBackground(line, "#ffff00");
        } else if (event->type() == QEvent::FocusOut) {
            setBackground(line, "#00ffff");
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmPrintLabel::cmdPrintLabel_Click() {
    std::unique_ptr<PrinterSurface> printer =
        openPrinterSurface(m_app, this, QStringLiteral("Corvane label"), true);
    if (!printer) {
        return;
    }
    {
        const BusyWindow busy(this);
        PrintLabel(*printer, {line(1), line(2), line(3), line(4)}, m_scroll[1]->value(),
                   m_scroll[2]->value());
    }
    printer->report();
    m_cmdPrintLabel->setCaption(QStringLiteral("&Print\nAgain"));
    m_cmdCancel->setCaption(QStringLiteral("&Finished\n<Esc>"));
    m_cmdCancel->setToolTip(QStringLiteral(" No more printing "));
}

void frmPrintLabel::cmdCancel_Click() {
    m_close->close(m_app.FadeEnabled);
}

void frmPrintLabel::reject() {
    if (!m_close->closing()) {
        cmdCancel_Click();
    }
}

}  // namespace corvane
