// The main window: its controls, its load and first activation, the
// keyboard and the grid's hints.

#include "frmmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

#include "appstate.h"
#include "backgroundsync.h"
#include "buttonstyles.h"
#include "contactgrid.h"
#include "listcolumns.h"
#include "mainicons.h"
#include "modfadeinout.h"
#include "orielbutton.h"
#include "timing.h"
#include "twips.h"

namespace corvane {
namespace {

// Twips the old windows spent on their border and caption; Qt sizes the inside.
constexpr int kFrameWidthTwips = 120;
constexpr int kFrameHeightTwips = 480;
constexpr int kButtonTwips = 540;
constexpr int kButtonPitchTwips = 600;
constexpr int kGridTopTwips = 1200;

}  // namespace

frmMain::frmMain(AppState& app, QWidget* parent) : QWidget(parent), m_app(app) {
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_fade = new FadeController(this);
    m_fade->setClosingStep([this] { endProgram(); });

    m_shape1 = new QFrame(this);
    m_shape1->setObjectName(QStringLiteral("Shape1"));
    m_shape1->setStyleSheet(QStringLiteral(
        "QFrame#Shape1 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f6f4ea, "
        "stop:1 #e4e0cc); border-bottom: 1px solid #b8b094; }"));

    m_lblGridHeader = new QLabel(this);
    m_lblGridHeader->setObjectName(QStringLiteral("lblGridHeader"));
    QFont headerFont = m_lblGridHeader->font();
    headerFont.setBold(true);
    m_lblGridHeader->setFont(headerFont);
    m_lblGridHeader->setTextFormat(Qt::PlainText);  // a search phrase is shown as typed

    m_grid = new ContactGrid(this);
    m_grid->setObjectName(QStringLiteral("grid"));
    connect(m_grid, &ContactGrid::RowColChange, this, &frmMain::grid_RowColChange);
    m_grid->viewport()->installEventFilter(this);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this, &frmMain::grid_ContextMenu);

    buildButtons();
    buildMenus();
    m_timerFlash.setInterval(kTimerTickMs);
    connect(&m_timerFlash, &QTimer::timeout, this, &frmMain::timerFlash_Timer);

    // The window sees every key before its controls do; its popup menus,
    // windows of their own, handle their own keys.
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->window() == this) {
            child->installEventFilter(this);
        }
    }
    Form_Load();
}

OrielButton* frmMain::makeToolButton(const char* name, int iconKind, const char* tooltip) {
    auto* button = new OrielButton(this);
    button->setObjectName(QLatin1String(name));
    button->readProperties(buttonStyles::pictureButton());
    button->setPictureNormal(mainIcon(static_cast<MainIcon>(iconKind)));
    button->setToolTip(QString::fromUtf8(tooltip));
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

void frmMain::buildButtons() {
    m_cmdAddEntry = makeToolButton("cmdAddEntry", int(MainIcon::AddEntry), " Add a new entry ");
    m_cmdSeeEntry =
        makeToolButton("cmdSeeEntry", int(MainIcon::SeeEntry), " See/edit the highlighted entry ");
    m_cmdDeleteEntry = makeToolButton("cmdDeleteEntry", int(MainIcon::DeleteEntry),
                                      " Delete the highlighted entry ");
    m_cmdFindEntries[1] =
        makeToolButton("cmdFindEntries(1)", int(MainIcon::FindEntries), " Find name(s)... ");
    m_cmdFindEntries[2] =
        makeToolButton("cmdFindEntries(2)", int(MainIcon::FilterEntries),
                       " Filter names by 'Affiliation'... (right click for more info) ");
    m_cmdListWith = makeToolButton("cmdListWith", int(MainIcon::ListWith), " List with... ");
    m_cmdBirthday = makeToolButton("cmdBirthday", int(MainIcon::Birthday),
                                   " Upcoming birthdays/anniversaries... ");
    m_cmdPrintList = makeToolButton("cmdPrintList", int(MainIcon::PrintList),
                                    " Print this list... (right click for mailing labels) ");
    m_cmdEmailFriend =
        makeToolButton("cmdEmailFriend", int(MainIcon::EmailFriend), " Email a friend! ");
    m_cmdFormFade = makeToolButton("cmdFormFade", int(MainIcon::FormFade),
                                   " Enable/Disable 'form fade' effects (Windows XP required) - ");
    m_cmdHelp = makeToolButton("cmdHelp", int(MainIcon::Help), " Help <F1>  ");
    m_cmdQuit = makeToolButton("cmdQuit", int(MainIcon::Quit), " Quit <Esc> ");

    m_cmdSeeAllEntries = new OrielButton(this);
    m_cmdSeeAllEntries->setObjectName(QStringLiteral("cmdSeeAllEntries"));
    m_cmdSeeAllEntries->readProperties(
        buttonStyles::seeAllButton(QStringLiteral("See &All Entries")));
    m_cmdSeeAllEntries->hide();

    connect(m_cmdAddEntry, &OrielButton::Click, this, &frmMain::cmdAddEntry_Click);
    connect(m_cmdSeeEntry, &OrielButton::Click, this, &frmMain::cmdSeeEntry_Click);
    connect(m_cmdDeleteEntry, &OrielButton::Click, this, &frmMain::cmdDeleteEntry_Click);
    connect(m_cmdDeleteEntry, &OrielButton::MouseUp, this,
            [this](short button, short, float, float) { cmdDeleteEntry_MouseUp(button); });
    connect(m_cmdFindEntries[1], &OrielButton::Click, this, [this] { cmdFindEntries_Click(1); });
    connect(m_cmdSeeAllEntries, &OrielButton::Click, this, &frmMain::cmdSeeAllEntries_Click);
    connect(m_cmdHelp, &OrielButton::Click, this, &frmMain::cmdHelp_Click);
    connect(m_cmdPrintList, &OrielButton::Click, this, &frmMain::cmdPrintList_Click);
    connect(m_cmdPrintList, &OrielButton::MouseUp, this,
            [this](short button, short, float, float) { cmdPrintList_MouseUp(button); });
    connect(m_cmdBirthday, &OrielButton::Click, this, &frmMain::cmdBirthday_Click);
    connect(m_cmdFindEntries[2], &OrielButton::Click, this, [this] { cmdFindEntries_Click(2); });
    connect(m_cmdFindEntries[2], &OrielButton::MouseUp, this,
            [this](short button, short, float, float) { cmdFindEntries_MouseUp(2, button); });
    connect(m_cmdListWith, &OrielButton::Click, this, &frmMain::cmdListWith_Click);
    connect(m_cmdEmailFriend, &OrielButton::Click, this, &frmMain::cmdEmailFriend_Click);
    connect(m_cmdQuit, &OrielButton::Click, this, &frmMain::cmdQuit_Click);
    connect(m_cmdFormFade, &OrielButton::Click, this, &frmMain::cmdFormFade_Click);
    connect(m_cmdFormFade, &OrielButton::MouseMove, this, &frmMain::cmdFormFade_MouseMove);
}

// The probe of per-window opacity: the main window is made transparent
// before it is first shown. Where that works and the user wants no fading
// it becomes opaque again; where it cannot work fading is off for good.
void frmMain::Form_Load() {
    const bool layered = modFadeInOut::ApplyWindowAlpha(this, 0, true, false);
    m_app.FadeEnabled = layered;
    if (layered) {
        if (!m_app.settings.fadeStatus()) {
            modFadeInOut::ApplyWindowAlpha(this, 255, true, false);
            m_app.FadeEnabled = false;
        }
    } else {
        m_app.settings.setFadeStatus(false);
        m_fadeSwitchAvailable = false;
        m_cmdFormFade->hide();
    }

    // 9600 twips wide and two thirds of the screen high, as the window was designed.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenTwips =
        screen
            ? static_cast<int>(screen->geometry().height() * 1440.0 / screen->logicalDotsPerInchY())
            : 9000;
    resize(twipsSize(9600 - kFrameWidthTwips, screenTwips * 2 / 3 - kFrameHeightTwips));
    setMinimumSize(twipsSize(9600 - kFrameWidthTwips, 4000));
    setWindowTitle(QStringLiteral("Corvane"));
    m_app.SearchCompareMode = SearchCompare::IgnoreCase;
    layoutControls();
}

void frmMain::layoutControls() {
    const int w = width();
    const int h = height();
    m_shape1->setGeometry(-twipsX(10), 0, w + twipsX(20), twipsY(720));
    const int size = twipsX(kButtonTwips);
    const int top = twipsY(90);
    OrielButton* left[] = {m_cmdAddEntry,       m_cmdSeeEntry,       m_cmdDeleteEntry,
                           m_cmdFindEntries[1], m_cmdFindEntries[2], m_cmdListWith,
                           m_cmdBirthday,       m_cmdPrintList,      m_cmdEmailFriend};
    for (int i = 0; i < 9; ++i) {
        left[i]->setGeometry(twipsX(120 + i * kButtonPitchTwips), top, size, size);
    }
    OrielButton* right[] = {m_cmdQuit, m_cmdHelp, m_cmdFormFade};
    for (int i = 0; i < 3; ++i) {
        right[i]->setGeometry(w - twipsX(120 + kButtonTwips + i * kButtonPitchTwips), top, size,
                              size);
    }
    m_lblGridHeader->setGeometry(twipsX(120), twipsY(810), twipsX(6000), twipsY(300));
    m_cmdSeeAllEntries->setGeometry(w - twipsX(120 + 2280), twipsY(765), twipsX(2280), twipsY(390));
    m_grid->setGeometry(twipsX(120), twipsY(kGridTopTwips), w - twipsX(240),
                        h - twipsY(kGridTopTwips + 120));
    m_grid->setColumnWidthTwips(0, 5000);
    m_grid->setColumnWidthTwips(1, std::max(0, m_grid->widthTwips() - 5000));
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutControls();
}

void frmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The first activation runs once the window is on screen (and the title
    // window gone), so that its messages stand over the list, not before it.
    if (!m_firstActivationDone && !m_activationPending) {
        m_activationPending = true;
        QTimer::singleShot(0, this, &frmMain::Form_Activate);
    }
}

void frmMain::Form_Activate() {
    if (m_firstActivationDone) {
        return;
    }
    // A hand-edited value that is no column (a separator, "Exit this Menu")
    // gives the default column.
    const int stored = m_app.settings.columnToIndex();
    m_columnToIndex = isColumnField(stored) ? stored : 3;
    LoadGrid();
    UpdateCommandButtons();
    if (m_app.FadeEnabled) {
        m_fade->StartFade(0, 255, 20, false);
    }
    m_firstActivationDone = true;
    if (m_grid->Rows() > 1) {
        m_grid->setFocus();
    }
    startSyncing();
}

// ---- keyboard ---------------------------------------------------------------

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid->viewport() && event->type() == QEvent::MouseMove) {
        grid_MouseMove();
    }
    // A click below the last row leaves the highlight on the current row, on
    // which See/Edit and Delete act.
    if (watched == m_grid->viewport() && event->type() == QEvent::MouseButtonPress &&
        !m_grid->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).isValid()) {
        return true;
    }
    // A double click (of the left button) anywhere on a list with entries
    // opens the current one, also below the last row and on the heading row.
    const bool onGrid =
        watched == m_grid->viewport() || watched == m_grid->horizontalHeader()->viewport();
    if (onGrid && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (m_grid->Rows() > 1) {
            cmdSeeEntry_Click();
        }
        return true;
    }
    if (event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Undo)) {
        undoDeletion();
        return true;
    }
    if (Form_KeyDown(key->key(), watched == m_grid)) {
        return true;
    }
    // Only keys that type a character: Tab, Enter and Esc keep their own work.
    if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
        !key->text().isEmpty() && key->text().at(0).isPrint() && Form_Keypress(key->text())) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool frmMain::Form_KeyDown(int key, bool onGrid) {
    if (key == Qt::Key_F1) {
        cmdHelp_Click();
        return true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && onGrid) {
        if (m_grid->Rows() > 1) {
            cmdSeeEntry_Click();
        }
        return true;
    }
    return false;
}

// First-letter highlighting: a letter or digit moves the highlight to the
// next entry whose name starts with it, wrapping round to the first.
bool frmMain::Form_Keypress(const QString& text) {
    if (m_grid->Rows() <= 2) {
        return false;
    }
    const QChar c = text.at(0).toUpper();
    const bool letter = c >= u'A' && c <= u'Z';
    const bool digit = c >= u'0' && c <= u'9';
    if (!letter && !digit) {
        return false;  // a Space stays with the button it was typed on
    }
    m_grid->setFocus();
    // The search starts after the current row and goes once round the list.
    const int current = m_grid->Row();
    const int dataRows = m_grid->Rows() - 1;
    int r = current;
    for (int steps = 0; steps < dataRows; ++steps) {
        r = r + 1 > dataRows ? 1 : r + 1;
        if (r == current) {
            break;
        }
        const QString name = m_grid->TextMatrix(r, 0);
        if (!name.isEmpty() && name.at(0).toUpper() == c) {
            // Asked before the move, which itself scrolls the row into view
            // at the bottom: a row out of view becomes the top row.
            const bool inView = m_grid->isRowVisible(r);
            m_grid->setRow(r);
            if (!inView) {
                m_grid->setTopRow(r);
            }
            m_grid->selectCurrentRow();
            break;
        }
    }
    return true;
}

// ---- the grid's hints -------------------------------------------------------

void frmMain::grid_RowColChange() {
    if (m_rebuilding || !m_grid->isVisible() || !m_firstActivationDone) {
        return;
    }
    m_hintStage = m_hintStage == 0 ? 1 : 2;
}

void frmMain::grid_MouseMove() {
    if (m_grid->Rows() < 3) {
        return;
    }
    static const QString kHints[] = {
        QStringLiteral(" Press the first letter of an entry for instant highlighting... "),
        QStringLiteral(" Double-click to see the details of this entry "), QString()};
    m_grid->setToolTip(kHints[m_hintStage]);
    m_grid->viewport()->setToolTip(kHints[m_hintStage]);
}

void frmMain::cmdFormFade_MouseMove() {
    m_cmdFormFade->setToolTip(m_app.FadeEnabled ? QStringLiteral(" Disable form fade effects ")
                                                : QStringLiteral(" Enable form fade effects "));
}

void frmMain::setSubListShown(bool shown) {
    m_subListShown = shown;
    m_subListOption = m_app.SearchOption;
}

// ---- ListLink ----------------------------------------------------------------

int frmMain::Rows() const {
    return m_grid->Rows();
}

int frmMain::Row() const {
    return m_grid->Row();
}

void frmMain::setRow(int row) {
    m_grid->setRow(row);
    m_grid->selectCurrentRow();
}

void frmMain::setTopRow(int row) {
    m_grid->setTopRow(row);
}

QString frmMain::TextMatrix(int row, int column) const {
    return m_grid->TextMatrix(row, column);
}

// ---- closing -----------------------------------------------------------------

void frmMain::closeEvent(QCloseEvent* event) {
    if (m_ending) {
        event->accept();
        return;
    }
    // The close box asks the quit question; the program ending itself goes on.
    event->ignore();
    cmdQuit_Click();
}

void frmMain::endProgram() {
    m_ending = true;
    QApplication::closeAllWindows();
    m_app.endProcess();
}

}  // namespace corvane
