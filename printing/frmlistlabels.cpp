#include "frmlistlabels.h"

#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

#include "appstate.h"
#include "backgroundtiles.h"
#include "buttonstyles.h"
#include "labelprintout.h"
#include "listlabels.h"
#include "modstandard.h"
#include "orielbutton.h"
#include "printjob.h"
#include "recordtext.h"
#include "storemessages.h"
#include "twips.h"

namespace corvane {

frmListLabels::frmListLabels(AppState& app, const std::vector<int>& records, QWidget* parent)
    : QDialog(parent), m_app(app) {
    setObjectName(QStringLiteral("frmListLabels"));
    setWindowTitle(QStringLiteral(" Print mailing labels for this list"));
    setFixedSize(twipsSize(6390, 4200));

    // The addresses are read once, as the window opens.
    DataFile& store = m_app.store;
    const StoreStatus status = store.UseDataFile([&] {
        for (const int number : records) {
            if (StoreStatus read = store.ReadRecord(number); !read.ok()) {
                return read;
            }
            const ContactRecord& r = store.CurrentRecord();
            m_entries.push_back(
                {recordText(r, Field::FullName),
                 {recordText(r, Field::HomeAddress1), recordText(r, Field::WorkAddress1)},
                 {recordText(r, Field::HomeCityStateZip), recordText(r, Field::WorkCityStateZip)}});
        }
        return StoreStatus::success();
    });
    if (!status.ok()) {
        reportStoreError(m_app, this, status);
    }

    auto* heading =
        new QLabel(QStringLiteral("One label for each entry of the list, on Avery 5160/8160 (or "
                                  "equivalent) sheets of 1x2 5/8\" address labels."),
                   this);
    heading->setWordWrap(true);
    heading->setGeometry(twipsRect(240, 120, 5900, 480));
    for (int i = 1; i <= 2; ++i) {
        auto* option = new QRadioButton(
            i == 1 ? QStringLiteral("Home address") : QStringLiteral("Business address"), this);
        option->setObjectName(QStringLiteral("optAddress(%1)").arg(i));
        option->setGeometry(twipsRect(240 + (i - 1) * 2400, 720, 2300, 300));
        connect(option, &QRadioButton::toggled, this, &frmListLabels::update);
        m_optAddress[i] = option;
    }
    m_optAddress[1]->setChecked(true);
    auto* where = new QLabel(QStringLiteral("The first label goes on..."), this);
    where->setGeometry(twipsRect(240, 1200, 5900, 255));
    const int maxima[3] = {0, kLabelRows, kLabelColumns};
    for (int i = 1; i <= 2; ++i) {
        auto* bar = new QScrollBar(Qt::Horizontal, this);
        bar->setObjectName(QStringLiteral("scroll(%1)").arg(i));
        bar->setRange(1, maxima[i]);
        bar->setGeometry(twipsRect(240, 1500 + (i - 1) * 420, 2400, 285));
        connect(bar, &QScrollBar::valueChanged, this, &frmListLabels::update);
        m_scroll[i] = bar;
        m_lblPosition[i] = new QLabel(this);
        m_lblPosition[i]->setObjectName(QStringLiteral("lblPosition(%1)").arg(i));
        m_lblPosition[i]->setGeometry(twipsRect(2760, 1500 + (i - 1) * 420, 900, 285));
    }
    m_lblSheets = new QLabel(this);
    m_lblSheets->setObjectName(QStringLiteral("lblSheets"));
    m_lblSheets->setGeometry(twipsRect(240, 2400, 5900, 300));

    auto makeButton = [this](const char* name, const QString& caption, int left) {
        auto* button = new OrielButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->readProperties(buttonStyles::captionButton(caption));
        button->setGeometry(twipsRect(left, 3000, 1800, 570));
        return button;
    };
    m_cmdPrint = makeButton("cmdPrint", QStringLiteral("&Print\n<Enter>"), 2400);
    m_cmdCancel = makeButton("cmdCancel", QStringLiteral("&Return\n<Esc>"), 4320);
    m_cmdPrint->setDefaultButton(true);
    m_cmdCancel->setCancelButton(true);
    connect(m_cmdPrint, &OrielButton::Click, this, &frmListLabels::cmdPrint_Click);
    connect(m_cmdCancel, &OrielButton::Click, this, &QDialog::reject);
    modStandard::TileBackground(dialogTile(DialogTile::Label), this);
    update();
}

int frmListLabels::addressIndex() const {
    return m_optAddress[2]->isChecked() ? 1 : 0;
}

int frmListLabels::labelCount() const {
    const int a = addressIndex();
    int count = 0;
    for (const Entry& e : m_entries) {
        count += (e.street[a].isEmpty() && e.city[a].isEmpty()) ? 0 : 1;
    }
    return count;
}

void frmListLabels::update() {
    if (m_lblSheets == nullptr) {
        return;  // still being built
    }
    m_lblPosition[1]->setText(QStringLiteral("Row %1").arg(m_scroll[1]->value()));
    m_lblPosition[2]->setText(QStringLiteral("Col %1").arg(m_scroll[2]->value()));
    const int count = labelCount();
    const int sheets = labelSheetsNeeded(count, m_scroll[1]->value(), m_scroll[2]->value());
    m_lblSheets->setText(QStringLiteral("%1 label(s) on %2 sheet(s)").arg(count).arg(sheets));
}

void frmListLabels::cmdPrint_Click() {
    const int a = addressIndex();
    std::vector<LabelLines> labels;
    int skipped = 0;
    for (const Entry& e : m_entries) {
        if (e.street[a].isEmpty() && e.city[a].isEmpty()) {
            ++skipped;
            continue;
        }
        labels.push_back({e.name, e.street[a], e.city[a], QString()});
    }
    if (!labels.empty()) {
        std::unique_ptr<PrinterSurface> printer =
            openPrinterSurface(m_app, this, QStringLiteral("Corvane labels"), true);
        if (!printer) {
            return;
        }
        {
            const BusyWindow busy(this);
            PrintListLabels(*printer, labels, m_scroll[1]->value(), m_scroll[2]->value());
        }
        printer->report();
        if (!printer->completed()) {
            return;  // cancelled or failed: nothing more to say
        }
    }
    if (skipped > 0) {
        m_app.platform.messageBox(
            this, {QStringLiteral("Mailing labels"),
                   QStringLiteral("%1 %2 of the list had no %3 address and got no label.")
                       .arg(skipped)
                       .arg(skipped == 1 ? QStringLiteral("entry") : QStringLiteral("entries"))
                       .arg(a == 0 ? QStringLiteral("home") : QStringLiteral("business")),
                   MsgIcon::Information, MsgButtons::Ok, 1});
    }
}

}  // namespace corvane
