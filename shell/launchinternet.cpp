#include "launchinternet.h"

#include "maker.h"
#include "platform.h"

namespace corvane {

QString internetAddress(int kind, const QString& target) {
    if (kind == kLaunchEmail) {
        return QStringLiteral("mailto:") +
               (target.isEmpty() ? QString::fromUtf8(maker::kEmail) : target);
    }
    return QStringLiteral("http://") +
           (target.isEmpty() ? QString::fromUtf8(maker::kWebPage) : target);
}

void LaunchInternet(Platform& platform, int kind, QWidget* owner, const QString& target) {
    if (!platform.openAddress(internetAddress(kind, target))) {
        platform.messageBox(owner, {QStringLiteral("Error"),
                                    QStringLiteral("Could not establish an internet connection!"),
                                    MsgIcon::Critical, MsgButtons::Ok, 1});
    }
}

}  // namespace corvane
