// The main window's way back for deleted entries: Ctrl+Z, the delete
// button's right-click menu, and the window of every deleted entry.

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "appstate.h"
#include "contactgrid.h"
#include "frmmain.h"
#include "orielbutton.h"
#include "storemessages.h"
#include "trash.h"

namespace corvane {
namespace {

// How many of the last deleted entries the right-click menu offers.
constexpr int kMenuEntries = 5;

QString nameOf(const TrashedEntry& entry) {
    const QString name = QString::fromStdString(entry.record.text(Field::FullName));
    return name.isEmpty() ? QStringLiteral("(no name)") : name;
}

QString whenOf(const TrashedEntry& entry) {
    return QLocale().toString(QDateTime::fromSecsSinceEpoch(entry.deletedAt), QLocale::ShortFormat);
}

// The trash's entries, oldest first; an untrusted trash is said and gives none.
std::vector<TrashedEntry> readTrash(AppState& app, QWidget* owner) {
    Trash trash(app.store.fileSystem(), app.store.path(kDataFileName));
    std::vector<TrashedEntry> entries;
    std::string problem;
    const StoreStatus read = trash.read(entries, problem);
    if (!read.ok()) {
        reportStoreError(app, owner, read);
    } else if (!problem.empty()) {
        reportStoreError(app, owner, {StoreError::Io, trash.path(), problem});
    }
    return entries;
}

}  // namespace

void frmMain::undoDeletion() {
    if (m_undoableDeletions <= 0) {
        return;
    }
    const std::vector<TrashedEntry> entries = readTrash(m_app, this);
    if (entries.empty()) {
        m_undoableDeletions = 0;
        return;
    }
    --m_undoableDeletions;
    restoreDeleted(entries.size() - 1);
}

void frmMain::cmdDeleteEntry_MouseUp(int button) {
    if (button != OrielButton::kRightButton) {
        return;
    }
    const std::vector<TrashedEntry> entries = readTrash(m_app, this);
    delete m_menuDeleted;
    m_menuDeleted = new QMenu(this);
    m_menuDeleted->setObjectName(QStringLiteral("menuDeleted"));
    const std::size_t shown = std::min<std::size_t>(entries.size(), kMenuEntries);
    for (std::size_t n = 1; n <= shown; ++n) {
        const std::size_t index = entries.size() - n;
        const QString caption =
            QStringLiteral("Restore %1 (deleted %2)")
                .arg(menuCaption(nameOf(entries[index])), whenOf(entries[index]));
        connect(m_menuDeleted->addAction(caption), &QAction::triggered, this,
                [this, index] { restoreDeleted(index); });
    }
    if (shown > 0) {
        m_menuDeleted->addSeparator();
    }
    connect(m_menuDeleted->addAction(QStringLiteral("Deleted entries...")), &QAction::triggered,
            this, &frmMain::showDeletedEntries);
    m_menuDeleted->popup(QCursor::pos());
}

void frmMain::restoreDeleted(std::size_t index) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int number = 0;
    const StoreStatus restored = m_app.store.RestoreFromTrash(index, number);
    QApplication::restoreOverrideCursor();
    if (!restored.ok()) {
        reportStoreError(m_app, this, restored);
    }
    reportStoreNotices(m_app, this);
    if (number == 0) {
        return;
    }
    if (m_subListShown) {
        cmdSeeAllEntries_Click();  // the entry comes back into the whole list
    } else {
        LoadGrid();
    }
    for (int r = 1; r < m_grid->Rows(); ++r) {
        if (m_grid->TextMatrix(r, 2).toInt() == number) {
            m_grid->setRow(r);
            m_grid->setTopRow(r);
            m_grid->selectCurrentRow();
            break;
        }
    }
    UpdateCommandButtons();
    focusGrid();
}

void frmMain::showDeletedEntries() {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("frmDeleted"));
    dialog.setWindowTitle(QStringLiteral("Deleted entries"));
    auto* table = new QTableWidget(&dialog);
    table->setObjectName(QStringLiteral("tableDeleted"));
    table->setColumnCount(2);
    table->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Deleted")});
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    table->setWordWrap(false);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* restore =
        buttons->addButton(QStringLiteral("Restore"), QDialogButtonBox::AcceptRole);
    QPushButton* remove =
        buttons->addButton(QStringLiteral("Remove for good"), QDialogButtonBox::DestructiveRole);
    buttons->addButton(QDialogButtonBox::Close);
    restore->setObjectName(QStringLiteral("cmdRestore"));
    remove->setObjectName(QStringLiteral("cmdRemoveForGood"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(table);
    layout->addWidget(buttons);
    dialog.resize(480, 360);

    // Newest first, as the menu and --deleted list them.
    std::vector<TrashedEntry> entries;
    auto fill = [&] {
        entries = readTrash(m_app, &dialog);
        table->setRowCount(static_cast<int>(entries.size()));
        for (std::size_t n = 1; n <= entries.size(); ++n) {
            const TrashedEntry& e = entries[entries.size() - n];
            table->setItem(static_cast<int>(n - 1), 0, new QTableWidgetItem(nameOf(e)));
            table->setItem(static_cast<int>(n - 1), 1, new QTableWidgetItem(whenOf(e)));
        }
        if (!entries.empty()) {
            table->selectRow(0);
        }
        restore->setEnabled(!entries.empty());
        remove->setEnabled(!entries.empty());
    };
    auto chosen = [&]() -> std::optional<std::size_t> {
        const int row = table->currentRow();
        if (row < 0 || row >= static_cast<int>(entries.size())) {
            return std::nullopt;
        }
        return entries.size() - 1 - static_cast<std::size_t>(row);
    };
    connect(restore, &QPushButton::clicked, &dialog, [&] {
        if (const auto index = chosen()) {
            restoreDeleted(*index);
            fill();
        }
    });
    connect(remove, &QPushButton::clicked, &dialog, [&] {
        const auto index = chosen();
        if (!index) {
            return;
        }
        const MsgAnswer answer = m_app.platform.messageBox(
            &dialog, {QStringLiteral("Confirm"),
                      QStringLiteral("Remove %1 for good? It cannot be restored after that.")
                          .arg(nameOf(entries[*index])),
                      MsgIcon::Question, MsgButtons::YesNo, 2});
        if (answer != MsgAnswer::Yes) {
            return;
        }
        Trash trash(m_app.store.fileSystem(), m_app.store.path(kDataFileName));
        if (const StoreStatus removed = trash.remove(*index); !removed.ok()) {
            reportStoreError(m_app, &dialog, removed);
        }
        fill();
    });
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    fill();
    dim();
    dialog.exec();
    undim();
}

}  // namespace corvane
