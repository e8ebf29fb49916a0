#include "helptopics.h"

#include <QFile>

// The texts live in a static library, whose resources are registered by hand.
static void registerHelpTexts() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(helptexts);
        return true;
    }();
    (void)registered;
}

namespace corvane {

QString helpTopicText(int number) {
    registerHelpTexts();
    QFile file(QStringLiteral(":/help/%1").arg(number));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QString text = QString::fromUtf8(file.readAll()).trimmed();
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

QList<int> helpTopicNumbers() {
    return {1000, 3000, 4000, 5000, 5500, 6000, 7000};
}

}  // namespace corvane
