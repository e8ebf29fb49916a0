#include "storemessages.h"

#include "appstate.h"

namespace corvane {

void reportStoreError(AppState& app, QWidget* owner, const StoreStatus& status) {
    app.platform.messageBox(owner, {QStringLiteral("Error"),
                                    QStringLiteral("Corvane could not use its data file.\n\n") +
                                        QString::fromStdString(status.message()),
                                    MsgIcon::Critical, MsgButtons::Ok, 1});
}

void reportFileDamage(AppState& app, QWidget* owner, const FileDamage& damage) {
    app.platform.messageBox(
        owner, {QStringLiteral("Please take note..."), QString::fromStdString(damage.describe()),
                MsgIcon::Exclamation, MsgButtons::Ok, 1});
}

}  // namespace corvane

namespace corvane {

void reportStoreNotices(AppState& app, QWidget* owner) {
    for (const std::string& notice : app.store.takeNotices()) {
        if (app.toldNotices.insert(notice).second) {
            app.platform.messageBox(
                owner, {QStringLiteral("Please take note..."), QString::fromStdString(notice),
                        MsgIcon::Exclamation, MsgButtons::Ok, 1});
        }
    }
}

}  // namespace corvane
