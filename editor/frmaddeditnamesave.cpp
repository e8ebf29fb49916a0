// Saving an entry, checking its dates, and cancelling or closing the editor.

#include <QLabel>
#include <QLocale>
#include <QTabWidget>

#include "appstate.h"
#include "datetext.h"
#include "editorfields.h"
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
    double birthday = 0.0;
    double anniversary = 0.0;
    if (!convertDate(kBirthdayField, "Birthday", birthday) ||
        !convertDate(kAnniversaryField, "Anniversary", anniversary)) {
        return;
    }

    DataFile& store = m_app.store;
    if (StoreStatus opened = store.OpenDataFile(); !opened.ok()) {
        reportStoreError(m_app, this, opened);
        return;
    }
    if (StoreStatus read = store.ReadRecord(m_entryRecordNumber); !read.ok()) {
        (void)store.CloseDataFile();
        reportStoreError(m_app, this, read);
        return;
    }
    ContactRecord& record = store.CurrentRecord();
    for (int i = 1; i <= kEditorFields; ++i) {
        const Field field = editorField(i).field;
        if (fieldInfo(field).kind == FieldKind::Date) {
            // A stored date the field cannot show (1899 or earlier) reads as
            // empty; left untouched by the user, it keeps its stored value.
            if (isAddMode() || fieldText(i) != m_loaded[i]) {
                record.setDate(field, i == kBirthdayField ? birthday : anniversary);
            }
            continue;
        }
        record.setText(field, trimBlanks(fieldText(i)).toStdString());
    }
    // The picture's path is where the picture frame keeps it.
    record.setText(Field::PicturePath, m_imgPicture->toolTip().toStdString());
    if (isAddMode()) {
        record.setCreatorVersion(kVersionMajor);
        record.setDate(Field::Created, m_app.now());
    }
    record.setDate(Field::LastModified, m_app.now());
    const StoreStatus written = store.WriteRecord(m_entryRecordNumber);
    const StoreStatus closed = store.CloseDataFile();
    if (!written.ok() || !closed.ok()) {
        reportStoreError(m_app, this, written.ok() ? closed : written);
        return;  // nothing was saved; the typed values stay for another try
    }

    if (isAddMode()) {
        m_list.setAddEntryTag(trimBlanks(fieldText(kNameField)));
    } else {
        m_list.setSeeEntryTag(QStringLiteral("*"));
    }
    cmdCancel_Click();
}

void frmAddEditName::cmdCancel_Click() {
    if (!isAddMode() && m_cmdCancel->caption() != QLatin1String("&Finished Viewing")) {
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

// The close box closes the editor as "Finished Viewing" or "Cancel New
// Entry" would: typed changes are dropped.
void frmAddEditName::reject() {
    closeEditor();
}

}  // namespace corvane
