#include "launchinternet.h"

#include <QRegularExpression>

#include "maker.h"
#include "platform.h"
#include "recordtext.h"

namespace corvane {
namespace {

// Hands a finished address to the desktop; says so when it is not taken.
void openAddress(Platform& platform, QWidget* owner, const QString& address) {
    if (!platform.openAddress(address)) {
        platform.messageBox(owner, {QStringLiteral("Error"),
                                    QStringLiteral("Could not establish an internet connection!"),
                                    MsgIcon::Critical, MsgButtons::Ok, 1});
    }
}

// Keeps every character of a typed mail address inside the address part.
QString encodeMailAddress(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'?' || u == u'&' || u == u'#' || u == u'%' || u < 0x20 || u == 0x7F) {
            out += QStringLiteral("%%1").arg(u, 2, 16, QChar(u'0')).toUpper();
        } else {
            out += c;
        }
    }
    return out;
}

FieldAddress webAddress(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            return {{}, QStringLiteral("it holds a line break or another control character")};
        }
    }
    QString rest = text;
    QString scheme = QStringLiteral("http://");
    for (const QString& allowed : {QStringLiteral("http://"), QStringLiteral("https://")}) {
        if (rest.startsWith(allowed, Qt::CaseInsensitive)) {
            scheme = allowed;
            rest = rest.mid(allowed.size());
        }
    }
    // Another scheme: letters, then a colon not followed by a port number.
    static const QRegularExpression otherScheme(
        QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(?![0-9]+(?:$|[/?#]))"));
    if (const auto m = otherScheme.match(rest); m.hasMatch()) {
        return {{}, QStringLiteral("it names another kind of address (%1)").arg(m.captured(0))};
    }
    const QString authority = rest.left(rest.indexOf(QRegularExpression(QStringLiteral("[/?#]"))));
    if (authority.contains(u'@')) {
        return {{},
                QStringLiteral("it puts a user name before the web site (%1)")
                    .arg(authority.left(authority.lastIndexOf(u'@') + 1))};
    }
    return {scheme + rest, {}};
}

}  // namespace

FieldAddress fieldAddress(int kind, const QString& text) {
    const QString target = trimBlanks(text);
    if (kind == kLaunchEmail) {
        return {QStringLiteral("mailto:") + (target.isEmpty() ? QString::fromUtf8(maker::kEmail)
                                                              : encodeMailAddress(target)),
                {}};
    }
    if (target.isEmpty()) {
        return {QStringLiteral("http://") + QString::fromUtf8(maker::kWebPage), {}};
    }
    return webAddress(target);
}

void LaunchInternet(Platform& platform, int kind, QWidget* owner, const QString& text,
                    const QString& fieldName) {
    const FieldAddress address = fieldAddress(kind, text);
    if (!address.refusal.isEmpty()) {
        platform.messageBox(
            owner, {QStringLiteral("Visit Web Site"),
                    QStringLiteral("Corvane will not open the %1 \"%2\" as a web address: %3.")
                        .arg(fieldName.isEmpty() ? QStringLiteral("address") : fieldName,
                             trimBlanks(text), address.refusal),
                    MsgIcon::Exclamation, MsgButtons::Ok, 1});
        return;
    }
    openAddress(platform, owner, address.address);
}

QString emailFriendTarget() {
    const QString title = QStringLiteral("Corvane");
    const QString maker = QString::fromUtf8(maker::kName);
    const QString host = QString::fromUtf8(maker::kWebHost);
    const QString paragraph = QStringLiteral("%0D%0A%0D%0A");
    return QStringLiteral("?subject=") + u'\'' + title +
           QStringLiteral("' address book program from ") + maker + QStringLiteral("&body=") +
           QStringLiteral("I wanted to tell you about an address book program from ") + maker +
           QStringLiteral(" called '") + title +
           QStringLiteral("' that is really good, and I thought you might ") +
           QStringLiteral("want to know about it.") + paragraph +
           QStringLiteral("You can download and install it for free at ") + maker +
           QStringLiteral("'s web site (") + host + QStringLiteral("). ") +
           QStringLiteral("The direct download link is") + paragraph + QStringLiteral("http://") +
           host + QString::fromUtf8(maker::kDownloadPath) + paragraph +
           QStringLiteral("Check it out if you want and let me know what you think about it.");
}

void LaunchEmailFriend(Platform& platform, QWidget* owner) {
    openAddress(platform, owner, QStringLiteral("mailto:") + emailFriendTarget());
}

}  // namespace corvane
