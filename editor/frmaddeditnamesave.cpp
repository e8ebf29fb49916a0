// Saving an entry, checking its dates, and cancelling or closing the editor.

#include <QCloseEvent>
#include <QLabel>
#include <QLocale>
#include <QTabWidget>

#include "appstate.h"
#include "datetext.h"
#include "editorfields.h"
#include "entrychanges.h"
#include "frmaddeditname.h"
#include "listlink.h"
#include "modfadeinout.h"
#include "orielbutton.h"
#include "recordtext.h"
#include "storemessages.h"
#include "version.h"

namespace corvane {

// The date value of field `index`, or a message and false when its text is
// not a date. An empty field is no date (0).
bool frmAddEditName::convertDate(int index, const char* what, double& value) {
    const QString text = trimBlanks(fieldText(index));
    if (text.isEmpty()) {
        value = 0.0;
        return true;
    }
    const auto parsed = parseDateText(text, QLocale(), m_app.platform.now().date());
    if (parsed) {
        value = *parsed;
        return true;
    }
    const QString word = QString::fromLatin1(what);
    m_app.platform.messageBox(this, {word + QStringLiteral(" Entry Error"),
                                     QStringLiteral("I don't understand\nthe ") + word.toLower() +
                                         QStringLiteral(" entry"),
                                     MsgIcon::None, MsgButtons::Ok, 1});
    m_nameTab->setCurrentIndex(0);
    m_fields[index]->setFocus();
    return false;
}

void frmAddEditName::cmdSave_Click() {
    m_sinceSave.start();
    if (m_loadFailed) {
        return;
    }
    // A date the user did not touch keeps its stored value unread: its text
    // is only what the editor showed.
    double birthday = 0.0;
    double anniversary = 0.0;
    const auto touched = [this](int i) { return isAddMode() || fieldText(i) != m_loaded[i]; };
    if ((touched(kBirthdayField) && !convertDate(kBirthdayField, "Birthday", birthday)) ||
        (touched(kAnniversaryField) &&
         !convertDate(kAnniversaryField, "Anniversary", anniversary))) {
        return;
    }

    DataFile& store = m_app.store;
    ContactRecord& record = store.CurrentRecord();
    const StoreStatus saved = store.UseDataFile([&] {
        StoreStatus read = store.ReadRecord(m_entryRecordNumber);
        if (!read.ok()) {
            return read;
        }
        mergeEntryChanges(record, changes(birthday, anniversary));
        return store.WriteRecord(m_entryRecordNumber);
    });
    if (!saved.ok()) {
        reportStoreError(m_app, this, saved);
        return;  // nothing was saved; the typed values stay for another try
    }

    if (isAddMode()) {
        // The name as stored, which is what the list will show: a character
        // the file cannot hold has become "?", and a long name is cut.
        m_list.setAddEntryTag(recordText(record, Field::FullName));
    } else {
        m_list.markEntrySaved();
    }
    m_list.setSavedRecord(m_entryRecordNumber);
    cmdCancel_Click();
}

// What the user changed, to be put into the stored entry (see
// mergeEntryChanges): a field the user did not touch is left out, so that it
// keeps its stored bytes, which are not always all the editor showed.
EntryChanges frmAddEditName::changes(double birthday, double anniversary) const {
    EntryChanges changes;
    changes.isNew = isAddMode();
    changes.now = m_app.now();
    changes.creatorVersion = kVersionMajor;
    for (int i = 1; i <= kEditorFields; ++i) {
        if (!isAddMode() && fieldText(i) == m_loaded[i]) {
            continue;
        }
        const Field field = editorField(i).field;
        if (fieldInfo(field).kind == FieldKind::Date) {
            changes.dates[field] = i == kBirthdayField ? birthday : anniversary;
        } else {
            changes.texts[field] = trimBlanks(fieldText(i)).toStdString();
        }
    }
    // The picture's path is where the picture frame keeps it.
    const QString picture = m_imgPicture->toolTip();
    if (isAddMode() || picture != m_loadedPicture) {
        changes.texts[Field::PicturePath] = picture.toStdString();
    }
    return changes;
}

void frmAddEditName::cmdCancel_Click() {
    if (!isAddMode() && m_changesPending) {
        // Changes pending: put the entry back as it is stored.
        m_editorReady = false;
        LoadEntry();
        m_editorReady = true;
        return;
    }
    closeEditor();
}

void frmAddEditName::closeEditor() {
    if (m_closing) {
        return;
    }
    m_closing = true;
    if (!isAddMode()) {
        m_app.settings.setLastTab(m_nameTab->currentIndex());
    }
    if (m_app.FadeEnabled) {
        m_fade->StartFade(255, 0, 20, true);
    } else {
        QDialog::accept();
    }
}

// Esc, and the close box once closeEvent has settled what to do with the
// changes, close the editor as "Finished Viewing" or "Cancel New Entry" would.
void frmAddEditName::reject() {
    closeEditor();
}

void frmAddEditName::closeEvent(QCloseEvent* event) {
    if (m_closing || !HasChanges()) {
        QDialog::closeEvent(event);
        return;
    }
    const MsgAnswer answer = m_app.platform.messageBox(
        this, {QStringLiteral("Corvane"),
               QStringLiteral("Save the changes to this entry before closing?"), MsgIcon::Question,
               MsgButtons::YesNoCancel, 1});
    if (answer == MsgAnswer::Yes && HasSaveableChanges()) {
        cmdSave_Click();
    }
    // Saved (nothing left pending), or dropped: the editor closes.
    if ((answer == MsgAnswer::Yes && !HasChanges()) || answer == MsgAnswer::No) {
        closeEditor();
    }
    if (!m_closing) {
        event->ignore();  // kept editing, or the save did not happen
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace corvane
