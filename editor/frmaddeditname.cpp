// The entry editor: its window, loading an entry, moving through the list
// and what every change of a field does.

#include "frmaddeditname.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <utility>

#include "appstate.h"
#include "backgroundtiles.h"
#include "buttonstyles.h"
#include "editorfields.h"
#include "entrypicture.h"
#include "launchinternet.h"
#include "listlink.h"
#include "mainicons.h"
#include "modfadeinout.h"
#include "modstandard.h"
#include "multilinefield.h"
#include "orielbutton.h"
#include "recordtext.h"
#include "storemessages.h"
#include "twips.h"

namespace corvane {
namespace {

const QColor kUnfocused(192, 255, 255);
const QColor kFocused(255, 255, 128);
const QString kInfoHint = QStringLiteral(" for important info about this text field... ");

void setBackground(QWidget* field, const QColor& colour) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, colour);
    field->setPalette(palette);
}

OrielButton* captionButton(QWidget* parent, const QString& name, const QString& caption,
                           QRect twips) {
    auto* button = new OrielButton(parent);
    button->setObjectName(name);
    button->readProperties(buttonStyles::captionButton(caption));
    button->setGeometry(twips);
    return button;
}

OrielButton* pictureButton(QWidget* parent, const QString& name, MainIcon icon, const char* tooltip,
                           QRect twips) {
    auto* button = new OrielButton(parent);
    button->setObjectName(name);
    button->readProperties(buttonStyles::pictureButton());
    button->setPictureNormal(mainIcon(icon));
    button->setToolTip(QString::fromUtf8(tooltip));
    button->setGeometry(twips);
    return button;
}

}  // namespace

frmAddEditName::frmAddEditName(AppState& app, ListLink& list, EditorMode mode, QWidget* parent)
    : QDialog(parent), m_app(app), m_list(list), m_mode(mode) {
    setObjectName(QStringLiteral("frmAddEditName"));
    m_fade = new FadeController(this);
    m_fade->setClosingStep([this] { QDialog::accept(); });
    // 7575 x 7050 twips with the old border and caption; Qt sizes the inside.
    setFixedSize(twipsSize(7575 - 120, 7050 - 480));
    m_app.FadeEnabled = modFadeInOut::ApplyWindowAlpha(this, 0, false, m_app.settings.fadeStatus());
    buildWindow();
}

void frmAddEditName::buildWindow() {
    buildTopRow();
    buildTabs();
}

void frmAddEditName::buildTopRow() {
    m_lblScrollNames = new QLabel(QStringLiteral("See other names on the list"), this);
    m_lblScrollNames->setObjectName(QStringLiteral("lblScrollNames"));
    m_lblScrollNames->setGeometry(twipsRect(120, 30, 2520, 240));
    m_scrollNames = new QScrollBar(Qt::Horizontal, this);
    m_scrollNames->setObjectName(QStringLiteral("scrollNames"));
    m_scrollNames->setGeometry(twipsRect(120, 285, 2520, 255));
    connect(m_scrollNames, &QScrollBar::valueChanged, this, &frmAddEditName::scrollNames_Change);
    m_scrollNames->installEventFilter(this);  // a double click on Save must not land on it
    m_lblScrollNames->hide();
    m_scrollNames->hide();

    m_cmdSave = captionButton(this, QStringLiteral("cmdSave"), QStringLiteral("&Save Changes"),
                              twipsRect(120, 75, 2520, 465));
    m_cmdSave->hide();
    connect(m_cmdSave, &OrielButton::Click, this, &frmAddEditName::cmdSave_Click);

    m_cmdPrintLabel[1] =
        pictureButton(this, QStringLiteral("cmdPrintLabel(1)"), MainIcon::LabelHome,
                      " Print a 'Home Address' mailing label... ", twipsRect(2940, 60, 540, 495));
    m_cmdPrintEntry = pictureButton(this, QStringLiteral("cmdPrintEntry"), MainIcon::PrintEntry,
                                    " Print this entry ", twipsRect(3540, 60, 540, 495));
    connect(m_cmdPrintEntry, &OrielButton::Click, this, &frmAddEditName::cmdPrintEntry_Click);
    m_cmdPrintLabel[2] =
        pictureButton(this, QStringLiteral("cmdPrintLabel(2)"), MainIcon::LabelWork,
                      " Print a 'Work Address' mailing label... ", twipsRect(4140, 60, 540, 495));
    for (int i = 1; i <= 2; ++i) {
        connect(m_cmdPrintLabel[i], &OrielButton::Click, this,
                [this, i] { cmdPrintLabel_Click(i); });
    }
    m_cmdPrintEntry->hide();
    m_cmdPrintLabel[1]->hide();
    m_cmdPrintLabel[2]->hide();

    m_cmdCancel =
        captionButton(this, QStringLiteral("cmdCancel"), QStringLiteral("&Finished Viewing"),
                      twipsRect(4815, 75, 2520, 465));
    m_cmdCancel->setCancelButton(true);
    connect(m_cmdCancel, &OrielButton::Click, this, &frmAddEditName::cmdCancel_Click);
}

QWidget* frmAddEditName::buildPage(int tab, const char* heading, QColor colour) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("square(%1)").arg(tab));
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, colour);
    page->setPalette(palette);

    auto* label = new QLabel(QString::fromUtf8(heading), page);
    label->setObjectName(QStringLiteral("lblHeading(%1)").arg(tab + 1));
    QFont font(QStringLiteral("Comic Sans MS"));
    font.setStyleHint(QFont::Cursive);
    font.setPointSizeF(9.75);
    font.setBold(true);
    label->setFont(font);
    label->setGeometry(twipsRect(120, 60, 6900, 300));

    auto* separator = new QFrame(page);
    separator->setObjectName(QStringLiteral("Separator(%1)").arg(tab + 1));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(twipsRect(120, 390, 6960, 30));
    return page;
}

void frmAddEditName::buildTabs() {
    m_nameTab = new QTabWidget(this);
    m_nameTab->setObjectName(QStringLiteral("NameTab"));
    m_nameTab->setGeometry(twipsRect(120, 660, 7215, 5820));
    QWidget* pages[4] = {
        buildPage(0, "Enter personal/business name and picture, if available...",
                  QColor(192, 255, 192)),
        buildPage(1, "Enter home-related information here...", QColor(192, 192, 255)),
        buildPage(2, "Enter business-related information here...", QColor(255, 192, 128)),
        buildPage(3, "Enter additional information here...", QColor(255, 192, 255)),
    };
    const char* titles[4] = {"Name", "Home", "Business", "Other"};
    for (int tab = 0; tab < 4; ++tab) {
        m_nameTab->addTab(pages[tab], QString::fromLatin1(titles[tab]));
    }
    buildFields(pages);
    buildNameTabExtras(pages[0]);
}

// Field positions in twips inside their page: left, top, width, height of
// the text box; the label stands just above it.
static QRect fieldPlace(int index) {
    switch (index) {
        case 1:
            return {120, 720, 900, 300};
        case 2:
            return {1140, 720, 5850, 300};
        case 3:
            return {120, 1380, 2640, 300};
        case 4:
            return {120, 2040, 2640, 300};
        case 5:
            return {120, 2700, 2640, 300};
        case 30:
            return {120, 720, 6870, 2640};
        case 31:
            return {120, 3960, 6870, 1320};
        default:
            break;
    }
    // Home (6 to 17) and Business (18 to 29) share one layout.
    const int i = index <= 17 ? index - 6 : index - 18;
    if (i <= 4) {  // the address lines, then e-mail and web page with their buttons
        return {120, 720 + i * 570, i >= 3 ? 3300 : 4350, 300};
    }
    if (i <= 10) {  // six phone numbers in two columns
        const int k = i - 5;
        return {k < 3 ? 120 : 3600, 3570 + (k % 3) * 570, 3300, 300};
    }
    return {4590, 720, 2400, 1500};  // the free text, beside the address lines
}

static bool index17or29(int index) {
    return index == 17 || index == 29;
}

void frmAddEditName::buildFields(QWidget* pages[4]) {
    QFont labelFont(QStringLiteral("Liberation Sans"));
    labelFont.setPointSizeF(8.25);
    QWidget* previous = nullptr;
    for (int i = 1; i <= kEditorFields; ++i) {
        const EditorField& spec = editorField(i);
        QWidget* page = pages[spec.tab];
        const QRect place = fieldPlace(i);
        auto* label = new QLabel(QString::fromUtf8(spec.label), page);
        label->setObjectName(QStringLiteral("lblfield(%1)").arg(i));
        label->setFont(labelFont);
        // The narrow free-text fields have a label wider than themselves,
        // ending at their right edge.
        const bool narrow = index17or29(i);
        label->setGeometry(narrow ? twipsRect(place.right() - 3200, place.y() - 225, 3200, 225)
                                  : twipsRect(place.x(), place.y() - 225, place.width(), 225));
        label->setAlignment(narrow ? Qt::AlignRight | Qt::AlignVCenter
                                   : Qt::AlignLeft | Qt::AlignVCenter);

        QWidget* field = nullptr;
        if (isMultiLineField(i)) {
            auto* box = new MultiLineField(spec.maxLength, page);
            connect(box, &QPlainTextEdit::textChanged, this, [this, i] { txtField_Change(i); });
            field = box;
            auto* space = new QLabel(page);
            space->setObjectName(QStringLiteral("lblSpaceFull(%1)").arg(i));
            space->setFont(labelFont);
            space->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            space->setGeometry(index17or29(i)
                                   ? twipsRect(place.x(), place.bottom() + 15, place.width(), 225)
                                   : twipsRect(place.right() - 1500, place.y() - 225, 1500, 225));
            space->hide();
            m_lblSpaceFull[i] = space;
        } else {
            auto* line = new QLineEdit(page);
            line->setMaxLength(spec.maxLength);
            connect(line, &QLineEdit::textChanged, this, [this, i] { txtField_Change(i); });
            // What the user types or pastes into a field of one line keeps it
            // one line: pasted line breaks and tabs become blanks. Text loaded
            // from the book is shown as it is.
            connect(line, &QLineEdit::textEdited, this, [line](const QString& text) {
                if (text.contains(QRegularExpression(QStringLiteral("[\\r\\n\\t]")))) {
                    const int cursor = line->cursorPosition();
                    QString flat = text;
                    flat.replace(QRegularExpression(QStringLiteral("[\\r\\n\\t]")),
                                 QStringLiteral(" "));
                    line->setText(flat);
                    line->setCursorPosition(cursor);
                }
            });
            field = line;
        }
        field->setObjectName(QStringLiteral("txtField(%1)").arg(i));
        field->setGeometry(twipsRect(place.x(), place.y(), place.width(), place.height()));
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, kUnfocused);
        palette.setColor(QPalette::Text, i == 17 || i == 29 ? QColor(0, 0, 0) : QColor(0, 0, 128));
        field->setPalette(palette);
        field->installEventFilter(this);
        if (previous != nullptr) {
            setTabOrder(previous, field);
        }
        previous = field;
        m_fields[i] = field;
    }
    // The mail and web buttons beside the e-mail and web-page fields.
    for (int i : {9, 10, 21, 22}) {
        const QRect place = fieldPlace(i);
        const bool mail = i == 9 || i == 21;
        auto* button =
            captionButton(pages[editorField(i).tab], QStringLiteral("cmdInternet(%1)").arg(i),
                          mail ? QStringLiteral("Send Email...") : QStringLiteral("Visit Web Site"),
                          twipsRect(place.right() + 120, place.y() - 45, 1560, 390));
        connect(button, &OrielButton::Click, this, [this, i] { cmdInternet_Click(i); });
        m_cmdInternet[i] = button;
    }
    const QRect affiliations = fieldPlace(31);
    m_cmdHelp = captionButton(pages[3], QStringLiteral("cmdHelp"), QStringLiteral("Info"),
                              twipsRect(affiliations.x() + 2400, affiliations.y() - 450, 900, 390));
    connect(m_cmdHelp, &OrielButton::Click, this, &frmAddEditName::cmdHelp_Click);
}

void frmAddEditName::buildNameTabExtras(QWidget* page) {
    auto* mandatory = new QLabel(QStringLiteral("* Mandatory Entry"), page);
    mandatory->setObjectName(QStringLiteral("lblMandatory"));
    QFont italic(QStringLiteral("Liberation Sans"));
    italic.setPointSizeF(8.25);
    italic.setItalic(true);
    mandatory->setFont(italic);
    mandatory->setGeometry(twipsRect(1140, 1035, 2400, 225));

    m_imgPicture = new QLabel(page);
    m_imgPicture->setObjectName(QStringLiteral("imgPicture"));
    m_imgPicture->setFrameShape(QFrame::Box);
    m_imgPicture->setGeometry(twipsRect(2985, 1200, 4005, 3480));
    m_lblPicture = new QLabel(QStringLiteral("Picture Frame"), page);
    m_lblPicture->setObjectName(QStringLiteral("lblPicture"));
    QFont frameFont(QStringLiteral("Liberation Sans"));
    frameFont.setPointSizeF(24);
    frameFont.setBold(true);
    m_lblPicture->setFont(frameFont);
    m_lblPicture->setAlignment(Qt::AlignCenter);
    m_lblPicture->setGeometry(twipsRect(2985, 1200, 4005, 3480));

    m_cmdPicAddEdit[1] =
        captionButton(page, QStringLiteral("cmdPicAddEdit(1)"), QStringLiteral("Add a Picture"),
                      twipsRect(2985, 4740, 1950, 420));
    m_cmdPicAddEdit[2] =
        captionButton(page, QStringLiteral("cmdPicAddEdit(2)"), QStringLiteral("Edit this Picture"),
                      twipsRect(2985, 4740, 1950, 420));
    m_cmdLargerPic = captionButton(page, QStringLiteral("cmdLargerPic"),
                                   QStringLiteral("View/Print Larger Picture"),
                                   twipsRect(5040, 4740, 1950, 420));
    // One row under the frame, so that every button shows whole on the tab.
    m_cmdPicDelete =
        captionButton(page, QStringLiteral("cmdPicDelete"), QStringLiteral("Delete this Picture"),
                      twipsRect(975, 4740, 1950, 420));
    m_cmdPicAddEdit[2]->hide();
    m_cmdLargerPic->hide();
    m_cmdPicDelete->hide();
    for (int i = 1; i <= 2; ++i) {
        connect(m_cmdPicAddEdit[i], &OrielButton::Click, this,
                [this, i] { cmdPicAddEdit_Click(i); });
    }
    connect(m_cmdPicDelete, &OrielButton::Click, this, &frmAddEditName::cmdPicDelete_Click);
    connect(m_cmdLargerPic, &OrielButton::Click, this, &frmAddEditName::cmdLargerPic_Click);
    m_imgPicture->setScaledContents(true);

    QFont stampFont(QStringLiteral("Liberation Sans"));
    stampFont.setPointSizeF(8.25);
    for (int i = 1; i <= 2; ++i) {
        auto* stamp = new QLabel(page);
        stamp->setObjectName(QStringLiteral("lblDataInfo(%1)").arg(i));
        stamp->setFont(stampFont);
        stamp->setGeometry(twipsRect(120, 3300 + (i - 1) * 300, 2760, 255));
        stamp->hide();
        m_lblDataInfo[i] = stamp;
    }
}

// ---- fields -----------------------------------------------------------------

QString frmAddEditName::fieldText(int index) const {
    if (isMultiLineField(index)) {
        return static_cast<MultiLineField*>(m_fields[index])->text();
    }
    return static_cast<QLineEdit*>(m_fields[index])->text();
}

void frmAddEditName::setFieldText(int index, const QString& text) {
    if (isMultiLineField(index)) {
        static_cast<MultiLineField*>(m_fields[index])->setText(text);
    } else {
        static_cast<QLineEdit*>(m_fields[index])->setText(text);
    }
}

bool frmAddEditName::HasChanges() const {
    if (m_loadFailed) {
        return false;
    }
    for (int i = 1; i <= kEditorFields; ++i) {
        if (fieldText(i) != m_loaded[i]) {
            return true;
        }
    }
    return false;
}

bool frmAddEditName::HasSaveableChanges() const {
    if (m_loadFailed || trimBlanks(fieldText(kNameField)).isEmpty()) {
        return false;
    }
    if (isAddMode()) {
        return true;
    }
    for (int i = 1; i <= kEditorFields; ++i) {
        if (fieldText(i) != m_loaded[i]) {
            return true;
        }
    }
    return false;
}

void frmAddEditName::txtField_Change(int index) {
    if (m_editorReady) {
        m_lblScrollNames->hide();
        m_scrollNames->hide();
        const bool saveable = HasSaveableChanges();
        m_cmdSave->setVisible(saveable);
        m_cmdSave->Refresh();
        if (!isAddMode()) {
            // Every field counts: an emptied name, which cannot be saved, still
            // leaves the other fields' changes pending.
            const bool changed = HasChanges();
            m_changesPending = changed;
            m_cmdCancel->setCaption(changed ? QStringLiteral("&Cancel Changes")
                                            : QStringLiteral("&Finished Viewing"));
            const bool canMove = !changed && m_list.Rows() - 1 > 1;
            m_lblScrollNames->setVisible(canMove);
            m_scrollNames->setVisible(canMove);
        }
    }
    const QString text = fieldText(index);
    if (m_cmdInternet[index] != nullptr) {
        m_cmdInternet[index]->setVisible(true);
        m_cmdInternet[index]->setEnabled(!trimBlanks(text).isEmpty());
    }
    if (m_lblSpaceFull[index] != nullptr) {
        const int length = static_cast<MultiLineField*>(m_fields[index])->storedLength();
        m_lblSpaceFull[index]->setVisible(length > 0);
        if (length > 0) {
            m_lblSpaceFull[index]->setText(spaceFullText(length, editorField(index).maxLength));
        }
    }
}

void frmAddEditName::txtField_GotFocus(int index) {
    setBackground(m_fields[index], kFocused);
    if (index == 31) {
        m_fields[index]->setToolTip(QString());
    }
}

void frmAddEditName::txtField_LostFocus(int index) {
    setBackground(m_fields[index], kUnfocused);
}

bool frmAddEditName::eventFilter(QObject* watched, QEvent* event) {
    // The scroll bar appears where Save was: the second click of a double
    // click on Save would step ten entries away.
    if (watched == m_scrollNames &&
        (event->type() == QEvent::MouseButtonPress ||
         event->type() == QEvent::MouseButtonDblClick) &&
        m_sinceSave.isValid() && m_sinceSave.elapsed() < QApplication::doubleClickInterval()) {
        return true;
    }
    // An Alt or Ctrl chord is a command, never typing: when no button takes
    // it (a hidden one's shortcut does not fire), the field must not insert
    // its letter either.
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched) != nullptr) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool editing = key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
                             key->matches(QKeySequence::Paste) ||
                             key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
                             key->matches(QKeySequence::SelectAll);
        if (!editing && (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) &&
            !key->text().isEmpty() && key->text().at(0).isPrint()) {
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        for (int i = 1; i <= kEditorFields; ++i) {
            if (watched == m_fields[i]) {
                event->type() == QEvent::FocusIn ? txtField_GotFocus(i) : txtField_LostFocus(i);
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- activation and loading -----------------------------------------------------

void frmAddEditName::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_firstShowing.shown();
}

void frmAddEditName::Form_Activate() {
    if (m_editorReady) {
        return;
    }
    for (OrielButton* button : findChildren<OrielButton*>()) {
        button->Refresh();
    }
    for (int i : {9, 10, 21, 22}) {
        m_cmdInternet[i]->setVisible(!isAddMode());
    }
    m_cmdHelp->setToolTip(QStringLiteral(" Click here") + kInfoHint);
    modStandard::TileBackground(
        dialogTile(isAddMode() ? DialogTile::EditorAdd : DialogTile::EditorView), this);
    if (m_app.FadeEnabled) {
        m_fade->StartFade(0, 255, 20, false);
    }
    m_nameTab->setCurrentIndex(isAddMode() ? 0 : std::clamp(m_app.settings.lastTab(), 0, 3));
    m_nameTab->setFocus();

    if (isAddMode()) {
        setWindowTitle(QStringLiteral("Adding a New Name Entry..."));
        if (StoreStatus counted = m_app.store.RefreshRecordCount(); !counted.ok()) {
            reportStoreError(m_app, this, counted);
        }
        m_entryRecordNumber = m_app.store.RecordCount() + 1;
        m_cmdPicAddEdit[1]->show();
        m_cmdSave->hide();
        m_cmdSave->setCaption(QStringLiteral("&Save New Entry"));
        m_cmdCancel->setCaption(QStringLiteral("&Cancel New Entry"));
        m_fields[31]->setToolTip(QStringLiteral(" Click the 'Info' button above") + kInfoHint);
    } else {
        LoadEntry();
        m_scrollNames->blockSignals(true);
        m_scrollNames->setRange(1, std::max(1, m_list.Rows() - 1));
        m_scrollNames->blockSignals(false);
        m_scrollNames->setValue(m_list.Row());
        m_cmdPrintEntry->show();
        m_cmdPrintEntry->setToolTip(QStringLiteral(" Print this entry "));
    }
    m_editorReady = true;
}

void frmAddEditName::LoadEntry() {
    m_entryRecordNumber = m_list.TextMatrix(m_list.Row(), 2).toInt();
    DataFile& store = m_app.store;
    const StoreStatus status =
        store.UseDataFile([&] { return store.ReadRecord(m_entryRecordNumber); });
    m_loadFailed = !status.ok();
    if (m_loadFailed) {
        reportStoreError(m_app, this, status);
        store.CurrentRecord().clear();
    }
    const ContactRecord& record = store.CurrentRecord();
    // An entry without a name is still an entry, not the program.
    const QString name = recordText(record, Field::FullName);
    setWindowTitle(name.isEmpty() ? QStringLiteral("(no name)") : name);
    if (!isAddMode()) {
        // The bar steps through the list as shown: a sub-list of one row
        // has nowhere to go.
        const bool canMove = m_list.Rows() - 1 > 1;
        m_lblScrollNames->setVisible(canMove);
        m_scrollNames->setVisible(canMove);
    }
    m_cmdSave->hide();
    m_cmdSave->setCaption(QStringLiteral("&Save Changes"));
    m_cmdCancel->setCaption(QStringLiteral("&Finished Viewing"));
    m_changesPending = false;

    for (int i = 1; i <= kEditorFields; ++i) {
        const Field field = editorField(i).field;
        const QString text = fieldInfo(field).kind == FieldKind::Date
                                 ? formatRecordDate(record.date(field))
                                 : recordText(record, field);
        setFieldText(i, text);
        m_loaded[i] = fieldText(i);
    }
    for (int i : {9, 10, 21, 22}) {
        m_cmdInternet[i]->setEnabled(!trimBlanks(fieldText(i)).isEmpty());
    }
    // The picture stays where the picture controls keep it: the frame's tooltip.
    loadEntryPicture(m_loadFailed ? QString() : recordText(record, Field::PicturePath));
    m_loadedPicture = picturePath();

    const double created = record.date(Field::Created);
    const double modified = record.date(Field::LastModified);
    const QString createdText = formatStamp(created);
    const QString modifiedText = formatStamp(modified);
    m_lblDataInfo[1]->setText(QStringLiteral(" Record Created ") + createdText + u' ');
    m_lblDataInfo[1]->show();
    m_lblDataInfo[2]->setText(QStringLiteral(" Last Modifed ") + modifiedText + u' ');
    // Shown when it says something the first line does not: stamps a few
    // milliseconds apart read the same.
    m_lblDataInfo[2]->setVisible(modifiedText != createdText);
    updateLabelButtons();
    if (m_loadFailed) {
        closeAfterFailedLoad();
    }
}

// A blank editor under the number of an entry that could not be read must
// not stay open: a save would write blanks over the stored entry.
void frmAddEditName::closeAfterFailedLoad() {
    m_cmdSave->hide();
    QMetaObject::invokeMethod(this, &frmAddEditName::closeEditor, Qt::QueuedConnection);
}

void frmAddEditName::updateLabelButtons() {
    m_cmdPrintLabel[1]->setVisible(!fieldText(6).isEmpty());
    m_cmdPrintLabel[2]->setVisible(!fieldText(18).isEmpty());
}

void frmAddEditName::scrollNames_Change(int value) {
    if (!m_editorReady || isAddMode()) {
        return;
    }
    // A message the loading shows (a missing picture) lets the bar move on
    // while it is up; the entry shown then follows the bar, so that the two
    // stay in step.
    for (int step = value;;) {
        m_list.setRow(step);
        m_list.setTopRow(step);
        m_editorReady = false;
        m_stepping = true;
        m_missingPicture.clear();
        LoadEntry();
        m_stepping = false;
        if (m_loadFailed) {
            return;
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_editorReady = true;
        if (!m_missingPicture.isEmpty()) {
            reportMissingPicture(m_app.platform, this, std::exchange(m_missingPicture, {}));
        }
        if (m_scrollNames->value() == step) {
            return;
        }
        step = m_scrollNames->value();
    }
}

void frmAddEditName::cmdInternet_Click(int index) {
    if (index == 9 || index == 21) {
        LaunchInternet(m_app.platform, kLaunchEmail, this, fieldText(index));
    } else if (index == 10 || index == 22) {
        LaunchInternet(m_app.platform, kLaunchWebPage, this, fieldText(index),
                       index == 10 ? QStringLiteral("personal web page")
                                   : QStringLiteral("business web page"));
    }
}

void frmAddEditName::cmdHelp_Click() {
    m_app.HelpStartTopic = 5;
    if (m_app.openHelp) {
        m_app.openHelp(this);
    }
}

}  // namespace corvane
