#include "frmmanual.h"

#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShortcut>

#include "appstate.h"
#include "backgroundtiles.h"
#include "buttonstyles.h"
#include "helptopics.h"
#include "launchinternet.h"
#include "maker.h"
#include "modfadeinout.h"
#include "modstandard.h"
#include "orielbutton.h"
#include "printjob.h"
#include "printlayout.h"
#include "twips.h"
#include "version.h"

namespace corvane {
namespace {

struct MenuItem {
    const char* caption;
    int number;
};

// The topic menu: each item carries the number of its text, so the menu
// alone defines the topics.
constexpr MenuItem kMenu[frmManual::kMenuItems] = {
    {"Overview", 1000},
    {"-", 0},
    {"Main Screen", 3000},
    {"Searching Options", 4000},
    {"Filter Names by 'Affiliations'", 5000},
    {"Upcoming Birthdays/Anniversaries", 5500},
    {"Printing Options", 6000},
    {"-", 0},
    {"About Corvane", 7777},
    {"About Oriel Software", 7000},
    {"-", 0},
    {"Email Oriel Software", 1111},
    {"Visit Oriel Software's Web Page", 2222},
    {"-", 0},
    {"Exit this Menu", 0},
};

constexpr int kMailMaker = 1111;
constexpr int kVisitMaker = 2222;
constexpr int kAboutBox = 7777;

}  // namespace

QString frmManual::topicCaption(int index) {
    return index >= 1 && index <= kMenuItems ? QString::fromLatin1(kMenu[index - 1].caption)
                                             : QString();
}

int frmManual::topicNumber(int index) {
    return index >= 1 && index <= kMenuItems ? kMenu[index - 1].number : 0;
}

frmManual::frmManual(AppState& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setObjectName(QStringLiteral("frmManual"));
    m_fade = new FadeController(this);
    m_close = std::make_unique<FadingClose>(*m_fade, [this] { QDialog::reject(); });
    m_app.FadeEnabled = modFadeInOut::ApplyWindowAlpha(this, 0, false, m_app.settings.fadeStatus());

    // 6495 x 6675 twips as the Windows releases measured the window, with
    // its border and caption.
    setFixedSize(twipsSize(6495 - 120, 6675 - 480));
    setWindowTitle(QStringLiteral(" Corvane -  Help Window"));

    m_labelHelpTopic = new QLabel(this);
    m_labelHelpTopic->setObjectName(QStringLiteral("labelHelpTopic"));
    QFont bold = m_labelHelpTopic->font();
    bold.setBold(true);
    m_labelHelpTopic->setFont(bold);
    m_labelHelpTopic->setGeometry(twipsRect(180, 120, 6015, 300));

    m_txtManual = new QPlainTextEdit(this);
    m_txtManual->setObjectName(QStringLiteral("txtManual"));
    m_txtManual->setReadOnly(true);
    m_txtManual->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtManual->setFont(QFont(QStringLiteral("Arial"), 10));
    m_txtManual->setGeometry(twipsRect(180, 480, 6015, 4920));

    auto makeButton = [this](const char* name, const QString& caption, int left) {
        auto* button = new OrielButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->readProperties(buttonStyles::captionButton(caption));
        button->setGeometry(twipsRect(left, 5520, 1815, 570));
        return button;
    };
    m_cmdHelpTopic = makeButton("cmdHelpTopic", QStringLiteral("&Help Topics"), 180);
    m_cmdPrintHelp = makeButton("cmdPrintHelp", QStringLiteral("&Print"), 2280);
    m_cmdReturn = makeButton("cmdReturn", QStringLiteral("&Return"), 4380);
    connect(m_cmdHelpTopic, &OrielButton::Click, this, &frmManual::cmdHelpTopic_Click);
    connect(m_cmdPrintHelp, &OrielButton::Click, this, &frmManual::cmdPrintHelp_Click);
    connect(m_cmdReturn, &OrielButton::Click, this, &frmManual::cmdReturn_Click);

    m_menuHelpMenu = new QMenu(QStringLiteral("Help Topics"), this);
    m_menuHelpMenu->setObjectName(QStringLiteral("menuHelpMenu"));
    m_menuHelpTopic.append(nullptr);
    for (int i = 1; i <= kMenuItems; ++i) {
        // A separator's "-" caption is the design's way of saying so; a
        // separator shows no text.
        QAction* item = topicCaption(i) == u'-' ? m_menuHelpMenu->addSeparator()
                                                : m_menuHelpMenu->addAction(topicCaption(i));
        item->setObjectName(QStringLiteral("menuHelpTopic(%1)").arg(i));
        const int number = topicNumber(i);
        item->setCheckable(number != 0 && number != kMailMaker && number != kVisitMaker &&
                           number != kAboutBox);
        connect(item, &QAction::triggered, this, [this, i] { menuHelpTopic_Click(i); });
        m_menuHelpTopic.append(item);
    }

    // F1 anywhere in the window pops the topics up, even with their button hidden.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, &frmManual::cmdHelpTopic_Click);

    auto* img = new QLabel(this);
    img->setObjectName(QStringLiteral("imgBackground"));
    img->setPixmap(dialogTile(DialogTile::Help));
    img->hide();
    modStandard::TileBackground(img->pixmap(), this);
}

void frmManual::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_firstShowing.shown();
}

void frmManual::Form_Activate() {
    if (m_app.HelpSingleTopic) {
        m_cmdHelpTopic->hide();
    } else {
        m_cmdHelpTopic->setCaption(QStringLiteral("&Help Topics\n(F1)"));
    }
    m_cmdPrintHelp->setCaption(QStringLiteral("&Print"));
    m_cmdPrintHelp->setToolTip(QStringLiteral(" Be sure your printer is ready! "));
    m_cmdReturn->setCaption(QStringLiteral("&Return\n(Esc)"));
    m_cmdReturn->setCancelButton(true);

    m_aboutText =
        QStringLiteral("Corvane\nVersion w%1.%2.%3\n\n%4\n\u00A9%5\n\n")
            .arg(kVersionMajor)
            .arg(kVersionMinor)
            .arg(kVersionRevision)
            .arg(QString::fromUtf8(maker::kDescription), QString::fromUtf8(maker::kCopyright));
    for (OrielButton* button : {m_cmdHelpTopic, m_cmdPrintHelp, m_cmdReturn}) {
        button->Refresh();
    }
    if (m_app.FadeEnabled) {
        m_fade->StartFade(0, 255, 20, false);
    }
    menuHelpTopic_Click(m_app.HelpStartTopic);
}

void frmManual::cmdHelpTopic_Click() {
    m_menuHelpMenu->popup(QCursor::pos());
}

void frmManual::menuHelpTopic_Click(int index) {
    const int number = topicNumber(index);
    if (number == kMailMaker) {
        LaunchInternet(m_app.platform, kLaunchEmail, this, {});
    } else if (number == kVisitMaker) {
        LaunchInternet(m_app.platform, kLaunchWebPage, this, {});
    } else if (number == kAboutBox) {
        m_app.platform.messageBox(
            this, {topicCaption(index), m_aboutText, MsgIcon::Information, MsgButtons::Ok, 1});
    } else if (index >= 1 && index < kMenuItems && index != m_currentTopic &&
               m_menuHelpTopic[index]->isCheckable()) {
        m_currentTopic = index;
        for (int i = 1; i <= kMenuItems; ++i) {
            m_menuHelpTopic[i]->setChecked(i == m_currentTopic);
        }
        m_labelHelpTopic->setText(topicCaption(index));
        // The texts keep their lines as CR LF; the text box wants line feeds.
        m_txtManual->setPlainText(
            helpTopicText(number).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
}

void frmManual::cmdPrintHelp_Click() {
    std::unique_ptr<PrinterSurface> printer =
        openPrinterSurface(m_app, this, QStringLiteral("Corvane help"));
    if (!printer) {
        return;
    }
    printer->setFont(PrintFont{});  // Arial, 10 points, plain
    // The text box shows the topic's lines; the printout keeps them as CR LF.
    QString text = m_txtManual->toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    printLayout::PrintFlowText(
        *printer, this, text,
        QStringLiteral("Corvane, Help Section: ") + topicCaption(m_currentTopic));
}

void frmManual::cmdReturn_Click() {
    m_close->close(m_app.FadeEnabled);
}

// Esc and the close box return as the Return button does.
void frmManual::reject() {
    if (!m_close->closing()) {
        cmdReturn_Click();
    }
}

}  // namespace corvane
