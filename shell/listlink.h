#pragma once

// What the entry editor may see of the main window's list: its rows and
// their cells (column 2 holds each row's record number), the current row,
// and the two change signals the editor leaves when it saved something.

#include <QString>

namespace corvane {

// The editor's two modes: a new entry, or the list's current row to view
// and edit.
enum class EditorMode { Add, View };

// The mode as the editor window's tag shows it: "**" to add, "***" to view.
inline QString modeTag(EditorMode mode) {
    return mode == EditorMode::Add ? QStringLiteral("**") : QStringLiteral("***");
}

class ListLink {
  public:
    virtual ~ListLink() = default;

    // Rows including the heading row; data rows are 1 to Rows() - 1.
    virtual int Rows() const = 0;
    virtual int Row() const = 0;
    virtual void setRow(int row) = 0;
    // Makes data row `row` the first one in view.
    virtual void setTopRow(int row) = 0;
    virtual QString TextMatrix(int row, int column) const = 0;

    // The tag of cmdAddEntry: the trimmed name of an entry just added.
    virtual void setAddEntryTag(const QString& name) = 0;
    // Sets the tag of cmdSeeEntry to "*": an existing entry was saved.
    virtual void markEntrySaved() = 0;
    // The record number of the entry just saved (added or changed): the
    // list's highlight goes to it, whatever other entry shares its name.
    virtual void setSavedRecord(int record) = 0;
};

}  // namespace corvane
