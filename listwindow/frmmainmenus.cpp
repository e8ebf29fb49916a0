// The main window's popup commands: upcoming birthdays and anniversaries,
// the affiliation filter with its help, the column chooser, and e-mail a
// friend.

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProxyStyle>
#include <QStandardPaths>

#include "affiliations.h"
#include "appstate.h"
#include "contactgrid.h"
#include "frmlistlabels.h"
#include "frmmain.h"
#include "launchinternet.h"
#include "listcolumns.h"
#include "listexport.h"
#include "orielbutton.h"
#include "printjob.h"
#include "reminders.h"
#include "search.h"
#include "storemessages.h"
#include "twips.h"

namespace corvane {

namespace {

// A popup longer than the screen scrolls, with arrows at its ends, instead of
// breaking into columns that run off the screen's edge; and Space chooses the
// highlighted item, as in the desktop's own menus.
class PopupMenuStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_Menu_Scrollable || hint == SH_Menu_SpaceActivatesItem) {
            return 1;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QMenu* popupMenu(const QString& title, const QString& name, QWidget* parent) {
    auto* menu = new QMenu(title, parent);
    menu->setObjectName(name);
    auto* style = new PopupMenuStyle;
    style->setParent(menu);
    menu->setStyle(style);
    return menu;
}

}  // namespace

QString frmMain::menuCaption(QString text) {
    return text.replace(u'&', QStringLiteral("&&")).replace(u'\t', u' ');
}

void frmMain::buildMenus() {
    m_menuBirthdayListmenu =
        popupMenu(QStringLiteral("BirthdayList"), QStringLiteral("menuBirthdayListmenu"), this);
    m_menuBirthdayList.append(nullptr);
    for (const char* caption :
         {"The following have an upcoming", "birthday or anniversary:", "-"}) {
        addMenuItem(m_menuBirthdayListmenu, m_menuBirthdayList, QStringLiteral("menuBirthdayList"),
                    QString::fromLatin1(caption));
    }

    m_menuAffiliationListMenu = popupMenu(QStringLiteral("Affiliation List"),
                                          QStringLiteral("menuAffiliationListMenu"), this);
    m_menuAffiliationList.append(nullptr);
    for (const char* caption :
         {"Create a sub-list of people that", "share the following affiliation:", "-"}) {
        addMenuItem(m_menuAffiliationListMenu, m_menuAffiliationList,
                    QStringLiteral("menuAffiliationList"), QString::fromLatin1(caption));
    }

    m_menuPrintOptions = new QMenu(QStringLiteral("PrintOptions"), this);
    m_menuPrintOptions->setObjectName(QStringLiteral("menuPrintOptions"));
    connect(m_menuPrintOptions->addAction(QStringLiteral("Print mailing labels for this list...")),
            &QAction::triggered, this, &frmMain::printListLabels);
    QMenu* exportMenu = m_menuPrintOptions->addMenu(QStringLiteral("Export this list..."));
    exportMenu->setObjectName(QStringLiteral("menuExportList"));
    for (const ListExportChoice& choice : listExportChoices()) {
        connect(exportMenu->addAction(choice.menuCaption), &QAction::triggered, this,
                [this, choice] { exportThisList(choice); });
    }

    m_menuListOptions = new QMenu(QStringLiteral("ListOptions"), this);
    m_menuListOptions->setObjectName(QStringLiteral("menuListOptions"));
    m_menulist.append(nullptr);
    for (int i = 1; i <= kColumnMenuItems; ++i) {
        QAction* item = addMenuItem(m_menuListOptions, m_menulist, QStringLiteral("menulist"),
                                    columnMenuCaption(i));
        // No empty boxes before a column is chosen: none is ticked until then.
        item->setCheckable(false);
        connect(item, &QAction::triggered, this, [this, i] { menuList_Click(i); });
    }
}

// Appends an item to a menu control array: "-" is a separator.
QAction* frmMain::addMenuItem(QMenu* menu, QList<QAction*>& items, const QString& arrayName,
                              const QString& caption) {
    QAction* item = caption == u'-' ? menu->addSeparator() : menu->addAction(caption);
    item->setObjectName(QStringLiteral("%1(%2)").arg(arrayName).arg(items.size()));
    items.append(item);
    return item;
}

void frmMain::trimMenu(QMenu* menu, QList<QAction*>& items, int kept) {
    while (items.size() > kept + 1) {
        QAction* item = items.takeLast();
        menu->removeAction(item);
        delete item;
    }
}

// ---- upcoming birthdays and anniversaries ------------------------------------

void frmMain::cmdBirthday_Click() {
    trimMenu(m_menuBirthdayListmenu, m_menuBirthdayList, 3);
    std::vector<Reminder> reminders;
    StoreStatus read;
    {
        const BusyWindow busy(this);
        read = collectReminders(m_app.store, m_app.platform.now().date(), reminders);
    }
    if (!read.ok()) {
        reportStoreError(m_app, this, read);
        return;
    }
    for (const Reminder& reminder : reminders) {
        QAction* item = addMenuItem(m_menuBirthdayListmenu, m_menuBirthdayList,
                                    QStringLiteral("menuBirthdayList"), menuCaption(reminder.line));
        item->setData(reminder.recordNumber);
    }
    if (reminders.empty()) {
        m_app.platform.messageBox(this,
                                  {QStringLiteral("No qualifying entries..."),
                                   QStringLiteral("There are no listed birthdays or anniversaries\n"
                                                  "that are coming up within 30 days of today..."),
                                   MsgIcon::Information, MsgButtons::Ok, 1});
        return;
    }
    addMenuItem(m_menuBirthdayListmenu, m_menuBirthdayList, QStringLiteral("menuBirthdayList"),
                QStringLiteral("-"));
    addMenuItem(m_menuBirthdayListmenu, m_menuBirthdayList, QStringLiteral("menuBirthdayList"),
                QStringLiteral("Exit this Menu"));
    // The headings do nothing; the items made for this opening are each
    // connected once.
    for (int i = 4; i < m_menuBirthdayList.size(); ++i) {
        connect(m_menuBirthdayList[i], &QAction::triggered, this,
                [this, i] { menuBirthdayList_Click(i); });
    }
    m_menuBirthdayListmenu->popup(QCursor::pos());
}

void frmMain::menuBirthdayList_Click(int index) {
    const int count = static_cast<int>(m_menuBirthdayList.size()) - 1;
    if (index < 4 || index > count - 2) {
        return;  // a heading, a separator or "Exit this Menu"
    }
    const int record = m_menuBirthdayList[index]->data().toInt();
    for (int r = 1; r < m_grid->Rows(); ++r) {
        if (m_grid->TextMatrix(r, 2).toInt() == record) {
            m_grid->setRow(r);
            m_grid->setTopRow(r);
            m_grid->selectCurrentRow();
            cmdSeeEntry_Click();
            return;
        }
    }
}

// ---- the affiliation filter ----------------------------------------------------

void frmMain::filterByAffiliation() {
    trimMenu(m_menuAffiliationListMenu, m_menuAffiliationList, 3);
    QStringList affiliations;
    StoreStatus read;
    {
        const BusyWindow busy(this);
        read = collectAffiliations(m_app.store, affiliations);
    }
    if (!read.ok()) {
        reportStoreError(m_app, this, read);
        return;
    }
    const QString array = QStringLiteral("menuAffiliationList");
    for (const QString& affiliation : affiliations) {
        addMenuItem(m_menuAffiliationListMenu, m_menuAffiliationList, array,
                    menuCaption(affiliation))
            ->setData(affiliation);
    }
    if (affiliations.isEmpty()) {
        const MsgAnswer answer = m_app.platform.messageBox(
            this, {QStringLiteral("No Affiliations available"),
                   QStringLiteral("There are no qualifying\n'Affiliation' listings\navailable at "
                                  "this time.\n\nWould you like more information\nabout this "
                                  "filtering feature?"),
                   MsgIcon::Question, MsgButtons::YesNoCancel, 1});
        if (answer == MsgAnswer::Yes) {
            dim();
            m_app.HelpStartTopic = 5;
            if (m_app.openHelp) {
                m_app.openHelp(this);
            }
            undim();
        }
        return;
    }
    for (const char* caption :
         {"-", "See the Help Topic about this feature...", "-", "Exit this Menu"}) {
        addMenuItem(m_menuAffiliationListMenu, m_menuAffiliationList, array,
                    QString::fromLatin1(caption));
    }
    for (int i = 4; i < m_menuAffiliationList.size(); ++i) {
        connect(m_menuAffiliationList[i], &QAction::triggered, this,
                [this, i] { menuAffiliationList_Click(i); });
    }
    m_menuAffiliationListMenu->popup(QCursor::pos());
}

void frmMain::menuAffiliationList_Click(int index) {
    const int count = static_cast<int>(m_menuAffiliationList.size()) - 1;
    if (index > 3 && index <= count - 4) {
        m_subListShown = true;
        m_app.SearchPhrase = m_menuAffiliationList[index]->data().toString();
        m_savedSearchOption =
            m_app.SearchOption == SearchScope::None ? SearchScope::AllText : m_app.SearchOption;
        m_app.SearchOption = SearchScope::Affiliations;
        m_subListOption = SearchScope::Affiliations;
        LoadGrid();
        UpdateCommandButtons();
    } else if (index == count - 2) {
        showSingleTopicHelp();
    }
}

void frmMain::cmdFindEntries_MouseUp(int index, int button) {
    if (index == 2 && button == 2) {
        showSingleTopicHelp();
    }
}

// The help on the affiliation filter alone, without its topics button.
void frmMain::showSingleTopicHelp() {
    m_app.HelpStartTopic = 5;
    m_app.HelpSingleTopic = true;
    dim();
    if (m_app.openHelp) {
        m_app.openHelp(this);
    }
    undim();
    m_app.HelpSingleTopic = false;
}

// ---- the column chooser --------------------------------------------------------

void frmMain::cmdListWith_Click() {
    const QPoint corner = m_cmdListWith->geometry().topLeft() + QPoint(twipsX(100), twipsY(250));
    m_menuListOptions->popup(mapToGlobal(corner));
}

void frmMain::menuList_Click(int index) {
    QAction* item = m_menulist.value(index);
    if (item == nullptr || index == kColumnMenuItems || !isColumnField(index)) {
        return;
    }
    // A click toggles the tick before it arrives here, so the item that
    // carried it is known by number.
    if (index == m_checkedColumn) {
        item->setChecked(true);
        return;
    }
    for (int i = 1; i <= kColumnMenuItems; ++i) {
        m_menulist[i]->setCheckable(isColumnField(i));
        m_menulist[i]->setChecked(i == index);
    }
    m_checkedColumn = index;
    m_columnToIndex = index;
    m_app.settings.setColumnToIndex(index);
    LoadGrid();
}

// ---- labels for the list ----------------------------------------------------------

void frmMain::cmdPrintList_MouseUp(int button) {
    if (button == 2 && m_grid->Rows() > 1) {
        m_menuPrintOptions->popup(QCursor::pos());
    }
}

void frmMain::printListLabels() {
    std::vector<int> records;
    for (int r = 1; r < m_grid->Rows(); ++r) {
        records.push_back(m_grid->TextMatrix(r, 2).toInt());
    }
    dim();
    {
        frmListLabels labels(m_app, records, this);
        labels.exec();
    }
    undim();
}

// ---- the list to a file ------------------------------------------------------------

void frmMain::exportThisList(const ListExportChoice& choice) {
    std::set<int> records;
    for (int r = 1; r < m_grid->Rows(); ++r) {
        records.insert(m_grid->TextMatrix(r, 2).toInt());
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    const QString path = m_app.platform.saveFileName(
        this, QStringLiteral("Export this list"),
        folder + QStringLiteral("/Corvane list") + choice.suffix, choice.filter);
    if (path.isEmpty()) {
        return;
    }
    const QString failure =
        exportList(m_app.store.path(kDataFileName), records, choice.format, path);
    const int count = static_cast<int>(records.size());
    m_app.platform.messageBox(
        this, failure.isEmpty()
                  ? MessageBoxSpec{QStringLiteral("Export"),
                                   QStringLiteral("%1 %2 of the list went to\n%3")
                                       .arg(count)
                                       .arg(count == 1 ? QStringLiteral("entry")
                                                       : QStringLiteral("entries"))
                                       .arg(path),
                                   MsgIcon::Information, MsgButtons::Ok, 1}
                  : MessageBoxSpec{QStringLiteral("Export"),
                                   QStringLiteral("Corvane could not write\n%1\n\n(%2). "
                                                  "Nothing was saved.")
                                       .arg(path, failure),
                                   MsgIcon::Exclamation, MsgButtons::Ok, 1});
}

// ---- e-mail a friend -------------------------------------------------------------

void frmMain::cmdEmailFriend_Click() {
    LaunchEmailFriend(m_app.platform, this);
}

}  // namespace corvane
