#include "conversionoffer.h"

#include "appstate.h"
#include "conversion.h"

namespace corvane {

void offerConversion(AppState& app, QWidget* owner) {
    const QString title = QStringLiteral("Corvane");
    const MsgAnswer answer = app.platform.messageBox(
        owner, {QStringLiteral("Data update needed"),
                QStringLiteral("You have an older version\n") + title +
                    QStringLiteral(" data file.\n"
                                   "\n"
                                   "Are you ready to transfer this data\n"
                                   "to a format that this newer version\n"
                                   "of ") +
                    title +
                    QStringLiteral(" can work with?\n"
                                   "\n"
                                   "Note: This process will keep your old data file intact just in "
                                   "case\n"
                                   "you want to revert back to your older version of ") +
                    title + QStringLiteral("."),
                MsgIcon::Question, MsgButtons::YesNo, 1});
    if (answer != MsgAnswer::Yes) {
        app.platform.messageBox(
            owner, {QStringLiteral("Please take note..."),
                    QStringLiteral("You have chosen not to update your older data file.\n"
                                   "\n"
                                   "This will not cause problems, but be aware that\n"
                                   "if you create new entries with this newer version,\n"
                                   "there will not be another opportunity to transfer\n"
                                   "your older version entries to this newer version."),
                    MsgIcon::Information, MsgButtons::Ok, 1});
        return;
    }
    const ConversionResult result = ConvertOldDataFile(app.store, [&app] { return app.now(); });
    if (!result.status.ok()) {
        // The message promises the offer at the next start, which needs the
        // data file to stay missing: the list must not create it empty.
        app.store.setCreateWhenMissing(false);
        app.platform.messageBox(
            owner, {QStringLiteral("Error"),
                    QStringLiteral("The data update could not be completed.\n\n") +
                        QString::fromStdString(result.status.message()) +
                        QStringLiteral("\n\nYour old data file is unchanged, and the update will "
                                       "be offered again the next time ") +
                        title + QStringLiteral(" starts."),
                    MsgIcon::Critical, MsgButtons::Ok, 1});
        return;
    }
    app.platform.messageBox(owner,
                            {QStringLiteral("Data Conversion Complete"),
                             QStringLiteral("The data update was successful!\n"
                                            "\n"
                                            "Remember, your old data file still exists\n"
                                            "just in case you decide to return to your\n"
                                            "older verion of ") +
                                 title +
                                 QStringLiteral(", but any new entries\n"
                                                "you make with this newer version will be lost\n"
                                                "if you return to your older version of ") +
                                 title + QStringLiteral("."),
                             MsgIcon::Exclamation, MsgButtons::Ok, 1});
}

}  // namespace corvane
