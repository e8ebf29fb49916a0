#include "frmtitlepage.h"

#include <QFileInfo>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>

#include "appstate.h"
#include "buttonstyles.h"
#include "conversionoffer.h"
#include "frmnewuser.h"
#include "launchinternet.h"
#include "linklabel.h"
#include "maker.h"
#include "modfadeinout.h"
#include "orielbutton.h"
#include "twips.h"
#include "version.h"

namespace corvane {
namespace {

QLabel* makeLabel(QWidget* parent, const char* name, QRect twips, QFont font,
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(twips);
    label->setFont(font);
    label->setAlignment(align);
    return label;
}

QFont fontOf(const QWidget* window, double points, bool bold = false, bool italic = false,
             const char* family = nullptr) {
    QFont font = window->font();
    if (family != nullptr) {
        font.setFamily(QLatin1String(family));
    }
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

}  // namespace

frmTitlePage::frmTitlePage(AppState& app, std::function<void()> showMainWindow, QWidget* parent)
    : QWidget(parent), m_app(app), m_showMainWindow(std::move(showMainWindow)) {
    setObjectName(QStringLiteral("frmTitlePage"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Corvane"));
    m_fade = new FadeController(this);
    // The title window's closing fade ends by handing over to the main window.
    m_fade->setClosingStep([this] { leaveForMainWindow(); });
    m_app.FadeEnabled = modFadeInOut::ApplyWindowAlpha(this, 0, false, m_app.settings.fadeStatus());
    setFixedSize(twipsSize(8200 - 120, 3465 - 480));

    m_labelAppTitle = makeLabel(this, "labelAppTitle", twipsRect(360, 150, 5000, 720),
                                fontOf(this, 26, true, false, "Liberation Serif"));
    m_labelAppDescription = makeLabel(this, "labelAppDescription", twipsRect(360, 840, 7300, 330),
                                      fontOf(this, 10, false, true));
    m_labelVersion =
        makeLabel(this, "labelVersion", twipsRect(360, 1200, 3000, 300), fontOf(this, 9, true));
    m_labelCopyright =
        makeLabel(this, "labelCopyright", twipsRect(360, 1500, 5200, 300), fontOf(this, 8));
    m_labelOrielSoftware = makeLabel(this, "labelOrielSoftware", twipsRect(360, 1920, 3600, 300),
                                     fontOf(this, 9, true));
    m_labelOrielAddress = makeLabel(this, "labelOrielAddress", twipsRect(360, 2190, 3600, 480),
                                    fontOf(this, 8), Qt::AlignLeft | Qt::AlignTop);
    for (int i = 1; i <= 2; ++i) {
        auto* contact = new LinkLabel(this);
        contact->setObjectName(QStringLiteral("labelOrielContact(%1)").arg(i));
        contact->setGeometry(twipsRect(3240, 1920 + (i - 1) * 270, 2900, 270));
        QFont font = fontOf(this, 8);
        font.setUnderline(true);
        contact->setFont(font);
        QPalette palette = contact->palette();
        palette.setColor(QPalette::WindowText, QColor(0, 51, 153));
        contact->setPalette(palette);
        connect(contact, &LinkLabel::clicked, this, [this, i] { labelOrielContact_Click(i); });
        m_labelOrielContact[i] = contact;
    }

    m_cmdContinue = new OrielButton(this);
    m_cmdContinue->setObjectName(QStringLiteral("cmdContinue"));
    m_cmdContinue->readProperties(buttonStyles::captionButton(QString()));
    m_cmdContinue->setGeometry(twipsRect(6240, 2430, 1620, 450));
    m_cmdContinue->setDefaultButton(true);
    connect(m_cmdContinue, &OrielButton::Click, this, &frmTitlePage::cmdContinue_Click);
}

QString frmTitlePage::versionText(int major, int minor, int revision) {
    auto number = [](int n) { return n == 0 ? QString() : QString::number(n); };
    return QStringLiteral("Version w") + number(major) + u'.' + number(minor) + u'.' +
           number(revision);
}

void frmTitlePage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_firstShowing.shown();
}

void frmTitlePage::Form_Activate() {
    if (m_app.FadeEnabled) {
        m_fade->StartFade(0, 255, 10, false);
    }
    m_cmdContinue->setCaption(QStringLiteral("&Continue"));
    m_cmdContinue->Refresh();
    m_labelAppTitle->setText(QStringLiteral("Corvane"));
    m_labelAppDescription->setText(QString::fromUtf8(maker::kDescription));
    m_labelVersion->setText(versionText(kVersionMajor, kVersionMinor, kVersionRevision));
    m_labelCopyright->setText(QStringLiteral("\u00A9 ") + QString::fromUtf8(maker::kCopyright));
    m_labelOrielSoftware->setText(QString::fromUtf8(maker::kName));
    m_labelOrielAddress->setText(QString::fromUtf8(maker::kAddressLine1) + u'\n' +
                                 QString::fromUtf8(maker::kAddressLine2));
    m_labelOrielContact[1]->setToolTip(QStringLiteral("Click here to email ") +
                                       QString::fromUtf8(maker::kName));
    m_labelOrielContact[1]->setText(QString::fromUtf8(maker::kEmail));
    m_labelOrielContact[2]->setToolTip(QStringLiteral("Click here to visit ") +
                                       QString::fromUtf8(maker::kName) +
                                       QStringLiteral("'s Web Page"));
    m_labelOrielContact[2]->setText(QString::fromUtf8(maker::kWebPage));
}

void frmTitlePage::labelOrielContact_Click(int index) {
    LaunchInternet(m_app.platform, index, this, QString());
}

void frmTitlePage::cmdContinue_Click() {
    if (m_handingOver) {
        return;
    }
    m_handingOver = true;

    // 1. The previous release's data file: an empty one goes, a full one is
    // offered for conversion unless the new file already exists.
    const QFileInfo oldFile(m_app.path("Corvane.Dat"));
    if (oldFile.exists() && oldFile.isFile()) {
        if (oldFile.size() == 0) {
            // An empty old file holds nothing to lose or to offer.
            QFile::remove(oldFile.filePath());
        } else if (!QFileInfo::exists(m_app.path("Corvane.Data"))) {
            offerConversion(m_app, this);
        }
    }

    // 2. The welcome, until the user asks not to see it again.
    if (m_app.settings.newUser() != QLatin1String("NoShow")) {
        if (m_app.FadeEnabled) {
            m_fade->StartFade(255, 204, 2, false);
        }
        QPointer<frmNewUser> welcome = new frmNewUser(m_app, this);
        welcome->exec();
        delete welcome;
        if (m_app.FadeEnabled) {
            m_fade->StartFade(204, 255, 2, false);
        }
    }

    // 3. Leave: fade out and hand over at the end of the fade, or at once.
    if (m_app.FadeEnabled) {
        m_fade->StartFade(255, 0, 20, true);
    } else {
        leaveForMainWindow();
    }
}

void frmTitlePage::leaveForMainWindow() {
    // The main window is shown before this one closes, so that the program
    // never stands without a window.
    const auto showMain = std::move(m_showMainWindow);
    m_showMainWindow = nullptr;
    if (showMain) {
        showMain();
    }
    close();
}

void frmTitlePage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0.0, QColor(250, 248, 240));
    gradient.setColorAt(1.0, QColor(222, 228, 240));
    painter.fillRect(rect(), gradient);
    painter.setPen(QColor(127, 157, 185));
    painter.drawLine(twipsX(360), twipsY(1860), width() - twipsX(360), twipsY(1860));
}

}  // namespace corvane
