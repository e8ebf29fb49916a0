#include "listconsole.h"

#include <vector>

#include "affiliations.h"
#include "recordreader.h"
#include "reminders.h"
#include "terminaltext.h"

namespace corvane {
namespace {

// Says what is wrong with the file, if anything, and gives the status.
int finish(const std::string& dataPath, const std::vector<std::string>& problems,
           std::ostream& err) {
    for (const std::string& problem : problems) {
        err << dataPath << ": " << problem << '\n';
    }
    return problems.empty() ? 0 : 2;
}

}  // namespace

int printUpcoming(FileSystem& fs, const std::string& dataPath, const QDate& today,
                  std::ostream& out, std::ostream& err) {
    std::vector<Reminder> reminders;
    std::vector<std::string> problems;
    const ReminderCalendar calendar(today);
    readWholeRecords(
        fs, dataPath,
        [&](const ContactRecord& record, int number) {
            addReminders(record, number, calendar, reminders);
            return true;
        },
        problems);
    for (const Reminder& reminder : reminders) {
        out << shownOnTerminal(reminder.line.toStdString()) << '\n';
    }
    return finish(dataPath, problems, err);
}

int printAffiliations(FileSystem& fs, const std::string& dataPath, std::ostream& out,
                      std::ostream& err) {
    AffiliationList list;
    std::vector<std::string> problems;
    readWholeRecords(
        fs, dataPath,
        [&](const ContactRecord& record, int) {
            list.CollectAffiliations(record);
            return true;
        },
        problems);
    for (const QString& affiliation : list.sorted()) {
        out << shownOnTerminal(affiliation.toStdString()) << '\n';
    }
    return finish(dataPath, problems, err);
}

}  // namespace corvane
