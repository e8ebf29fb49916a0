#include "appstate.h"

#include <QCoreApplication>

#include "oledate.h"

namespace corvane {

AppState::AppState(Platform& platform, std::string directory, FileSystem& fs)
    : platform(platform),
      store(fs, directory),
      endProcess([] { QCoreApplication::quit(); }),
      m_directory(std::move(directory)) {
    settings.onWriteFailure = [this](const QString& fileName) {
        this->platform.messageBox(
            nullptr, {QStringLiteral("Please take note..."),
                      QStringLiteral("Corvane could not store its settings in\n") + fileName +
                          QStringLiteral("\n\nChanges to them will be forgotten when Corvane "
                                         "ends; your entries are not affected."),
                      MsgIcon::Exclamation, MsgButtons::Ok, 1});
    };
}

QString AppState::path(const char* name) const {
    return QString::fromStdString(store.path(name));
}

double AppState::now() const {
    return toOleDate(platform.now());
}

double toOleDate(const QDateTime& when) {
    const QDate date = when.date();
    const QTime time = when.time();
    const double day = oleFromDateTime({date.year(), date.month(), date.day(), 0, 0, 0});
    const double fraction = time.msecsSinceStartOfDay() / 86400000.0;
    return day < 0 ? day - fraction : day + fraction;
}

}  // namespace corvane
