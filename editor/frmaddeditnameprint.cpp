// The entry editor's printouts: the entry report, with the picture after
// it, and a mailing label of the home or the business address.

#include <QLocale>

#include "appstate.h"
#include "editorfields.h"
#include "entryreport.h"
#include "frmaddeditname.h"
#include "frmlargepic.h"
#include "frmprintlabel.h"
#include "printjob.h"
#include "recordtext.h"

namespace corvane {

// The entry report of the fields as they stand on screen, and, when asked,
// the picture as a printout of its own after it.
void frmAddEditName::cmdPrintEntry_Click() {
    const MessageBoxSpec question{
        QStringLiteral("Print Options..."), {}, MsgIcon::Question, MsgButtons::YesNoCancel, 1};
    MessageBoxSpec notes = question;
    notes.text = QStringLiteral("Print the 'Comments' and 'Affiliations' sections also?");
    const MsgAnswer withNotes = m_app.platform.messageBox(this, notes);
    if (withNotes == MsgAnswer::Cancel) {
        return;
    }
    bool withPicture = false;
    if (pictureShown()) {
        MessageBoxSpec picture = question;
        picture.text = QStringLiteral("Print the picture also?");
        const MsgAnswer answer = m_app.platform.messageBox(this, picture);
        if (answer == MsgAnswer::Cancel) {
            return;
        }
        withPicture = answer == MsgAnswer::Yes;
    }
    std::unique_ptr<PrinterSurface> printer =
        openPrinterSurface(m_app, this, QStringLiteral("Corvane entry"));
    if (!printer) {
        return;
    }
    EntryReport report;
    report.title = QStringLiteral("Corvane");
    report.printedAt = QLocale().toString(m_app.platform.now(), QLocale::ShortFormat);
    for (int i = 1; i <= kEditorFields; ++i) {
        report.fields[i] = trimBlanks(fieldText(i));
    }
    report.birthday = m_app.store.CurrentRecord().date(Field::Birthday);
    report.anniversary = m_app.store.CurrentRecord().date(Field::Anniversary);
    report.includeNotes = withNotes == MsgAnswer::Yes;
    {
        const BusyWindow busy(this);
        PrintEntryReport(*printer, this, report);
        printer->endDoc();
    }
    printer->report();
    if (withPicture) {
        // The viewer prints the picture as a document of its own and closes;
        // it carries the entry's name as the printout's title.
        frmLargePic viewer(m_app, this);
        viewer.setTag(fieldText(2));
        if (viewer.loadPicture(picturePath())) {
            m_app.PrintPictureAtOnce = true;
            viewer.exec();
            m_app.PrintPictureAtOnce = false;
        }
    }
}

void frmAddEditName::cmdPrintLabel_Click(int index) {
    dim();
    {
        frmPrintLabel label(m_app, this);
        label.setLine(1, fieldText(2));
        label.setLine(2, fieldText(index == 1 ? 6 : 18));
        label.setLine(3, fieldText(index == 1 ? 8 : 20));
        label.exec();
    }
    undim();
}

}  // namespace corvane
