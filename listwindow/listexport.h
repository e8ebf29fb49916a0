#pragma once

// "Export this list...": the entries the main window shows, all of them or
// a sub-list, written to a file the user names, as vCards, CSV or JSON Lines.

#include <QString>
#include <array>
#include <set>
#include <string>

namespace corvane {

enum class ListExportFormat { VCard4, VCard3, Csv, JsonLines };

struct ListExportChoice {
    ListExportFormat format;
    QString menuCaption;  // in the print button's menu
    QString filter;       // for the save dialog
    QString suffix;
};

// The four formats, in the menu's order.
const std::array<ListExportChoice, 4>& listExportChoices();

// Writes the records numbered in `records` of the data file `dataPath`
// into `path` in `format`, whole or not at all (the file is written beside
// and renamed into place). Returns an empty text, or why it failed.
QString exportList(const std::string& dataPath, const std::set<int>& records,
                   ListExportFormat format, const QString& path);

}  // namespace corvane
