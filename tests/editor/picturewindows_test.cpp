// The editor's picture on the real windows: choosing, removing and viewing
// it, what each writes to the entry, and the picture printout.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <filesystem>

#include "../listwindow/mainwindowfixture.h"
#include "../printing/pdftext.h"
#include "../printing/recordingsurface.h"
#include "entrypicture.h"
#include "frmaddeditname.h"
#include "frmlargepic.h"
#include "twips.h"

namespace corvane {
namespace {

using test::entry;

class EditorPicture : public testing::Test, public test::MainWindowFixture {
  protected:
    void SetUp() override {
        pictures = std::make_unique<test::TempDir>();
        wide = picture("wide.png", 400, 300, Qt::red);
        upright = picture("upright.png", 300, 400, Qt::blue);
    }
    QString picture(const char* name, int width, int height, Qt::GlobalColor colour) {
        const QString path = QString::fromStdString(pictures->file(name));
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(path));
        return path;
    }
    std::unique_ptr<frmAddEditName> openEditor(EditorMode mode = EditorMode::View) {
        auto editor = std::make_unique<frmAddEditName>(app, *window, mode, window.get());
        editor->show();
        return editor;
    }
    ContactRecord stored(int number = 1) {
        const auto bytes = test::readFile(app.path("Corvane.Data").toStdString());
        return ContactRecord::decode(
            std::span<const std::uint8_t, 3000>(bytes.data() + (number - 1) * 3000, 3000));
    }
    static bool shown(frmAddEditName& e, const char* name) {
        return !e.findChild<QWidget*>(name)->isHidden();
    }
    static OrielButton* button(frmAddEditName& e, const char* name) {
        return e.findChild<OrielButton*>(name);
    }
    ContactRecord withPicture(const QString& path) {
        ContactRecord r = entry("Adams, Ann");
        r.setText(Field::PicturePath, path.toStdString());
        r.setDate(Field::LastModified, 40000.0);
        return r;
    }

    std::unique_ptr<test::TempDir> pictures;
    QString wide;
    QString upright;
};

TEST_F(EditorPicture, AChosenPictureIsFittedShownAndStoredAtOnceInViewMode) {
    writeBook({entry("Adams, Ann")});
    open();
    auto e = openEditor();
    EXPECT_TRUE(shown(*e, "lblPicture"));
    EXPECT_TRUE(shown(*e, "cmdPicAddEdit(1)"));
    const QString folder = QDir::currentPath();
    platform.openAnswers = {wide};
    QTest::mouseClick(button(*e, "cmdPicAddEdit(1)"), Qt::LeftButton);
    EXPECT_EQ(QDir::currentPath(), folder);
    EXPECT_EQ(e->picturePath(), wide);
    auto* frame = e->findChild<QLabel*>("imgPicture");
    EXPECT_EQ(frame->size(), twipsSize(4005, 3003));
    EXPECT_EQ(app.PictureWidth, 6000);
    EXPECT_EQ(app.PictureHeight, 4500);
    EXPECT_FALSE(shown(*e, "lblPicture"));
    EXPECT_FALSE(shown(*e, "cmdPicAddEdit(1)"));
    for (const char* name : {"cmdPicAddEdit(2)", "cmdLargerPic", "cmdPicDelete"}) {
        EXPECT_TRUE(shown(*e, name)) << name;
    }
    EXPECT_EQ(stored().text(Field::PicturePath), wide.toStdString());
    EXPECT_NEAR(stored().date(Field::LastModified), toOleDate(platform.clock), 1e-9);

    // An upright one takes the frame's height.
    platform.openAnswers = {upright};
    QTest::mouseClick(button(*e, "cmdPicAddEdit(2)"), Qt::LeftButton);
    EXPECT_EQ(frame->size(), twipsSize(2610, 3480));
}

TEST_F(EditorPicture, ACancelledOrFailedChoiceKeepsThePictureThatWasThere) {
    writeBook({withPicture(wide)});
    open();
    auto e = openEditor();
    ASSERT_EQ(e->picturePath(), wide);
    QTest::mouseClick(button(*e, "cmdPicAddEdit(2)"), Qt::LeftButton);  // cancelled
    EXPECT_EQ(e->picturePath(), wide);
    EXPECT_TRUE(platform.messages.isEmpty());

    const QString notAPicture = QString::fromStdString(pictures->file("notes.png"));
    test::writeFile(notAPicture.toStdString(), test::Bytes{'n', 'o', 't'});
    platform.openAnswers = {notAPicture};
    QTest::mouseClick(button(*e, "cmdPicAddEdit(2)"), Qt::LeftButton);
    ASSERT_EQ(platform.titles(), QStringList{"File Access Error"});
    EXPECT_EQ(platform.messages[0].text,
              "There is some kind of problem\nin trying to access that picture file...");
    EXPECT_EQ(e->picturePath(), wide);
    EXPECT_FALSE(e->findChild<QLabel*>("imgPicture")->pixmap().isNull());
    EXPECT_EQ(stored().text(Field::PicturePath), wide.toStdString());
    EXPECT_EQ(stored().date(Field::LastModified), 40000.0);
}

TEST_F(EditorPicture, APathTheEntryCannotKeepWholeIsRefusedWithTheReason) {
    writeBook({withPicture(wide)});
    open();
    auto e = openEditor();
    const QString longPath = QString::fromStdString(pictures->file(std::string(100, 'p') + ".png"));
    platform.openAnswers = {longPath};
    QTest::mouseClick(button(*e, "cmdPicAddEdit(2)"), Qt::LeftButton);
    ASSERT_EQ(platform.titles(), QStringList{"File Access Error"});
    EXPECT_TRUE(platform.messages[0].text.contains(
        QStringLiteral("characters long, more than the 100 an entry can store")));
    EXPECT_EQ(e->picturePath(), wide);
    EXPECT_EQ(stored().text(Field::PicturePath), wide.toStdString());
}

TEST_F(EditorPicture, ARemovalIsWrittenAtOnceAndACancelDoesNotBringItBack) {
    writeBook({withPicture(wide)});
    open();
    auto e = openEditor();
    platform.answers = {MsgAnswer::No};
    QTest::mouseClick(button(*e, "cmdPicDelete"), Qt::LeftButton);
    EXPECT_EQ(platform.messages[0].title, "Confirm Picture Delete");
    EXPECT_EQ(platform.messages[0].text, "Are you SURE that you want\nto delete this picture?");
    EXPECT_EQ(platform.messages[0].defaultButton, 2);
    EXPECT_EQ(e->picturePath(), wide);

    e->setFieldText(3, "Annie");  // a pending change
    platform.answers = {MsgAnswer::Yes};
    QTest::mouseClick(button(*e, "cmdPicDelete"), Qt::LeftButton);
    EXPECT_EQ(stored().text(Field::PicturePath), "");
    EXPECT_EQ(stored().date(Field::LastModified), 40000.0);  // not stamped
    EXPECT_TRUE(shown(*e, "cmdPicAddEdit(1)"));
    EXPECT_FALSE(shown(*e, "cmdPicDelete"));
    e->cmdCancel_Click();  // reloads the entry as stored
    EXPECT_EQ(e->picturePath(), "");
    EXPECT_TRUE(test::fileExists(wide.toStdString()));  // the file itself stays
}

TEST_F(EditorPicture, APictureChosenForANewEntryThatIsCancelledLeavesNothing) {
    writeBook({entry("Adams, Ann")});
    const auto before = test::readFile(app.path("Corvane.Data").toStdString());
    open();
    auto e = openEditor(EditorMode::Add);
    platform.openAnswers = {wide};
    QTest::mouseClick(button(*e, "cmdPicAddEdit(1)"), Qt::LeftButton);
    EXPECT_EQ(e->picturePath(), wide);
    EXPECT_EQ(test::readFile(app.path("Corvane.Data").toStdString()), before);
}

// A picture that cannot be shown is taken off the entry only when it is
// known to be gone (its folder is there and holds other files) or to be no
// picture; a path of another machine, an unreachable folder and a picture
// this build cannot decode keep the reference, without a message but with a
// hint in the frame. Nothing waits on a pipe or a terminal.
TEST_F(EditorPicture, OnlyAPictureKnownGoneOrNoPictureIsTakenOffTheEntry) {
    const std::string folder = pictures->path().string();
    std::filesystem::create_directory(folder + "/empty-mount-point");
    test::writeFile(folder + "/drawing.wmf", test::Bytes{0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 1, 2});
    test::writeFile(folder + "/notes.jpg", test::Bytes{'n', 'o', 't', 'e', 's'});
    ASSERT_EQ(::mkfifo((folder + "/pipe.jpg").c_str(), 0600), 0);
    struct Case {
        QString path;
        bool kept;
    };
    for (const Case& c : {
             Case{QStringLiteral("C:\\Pictures\\zoe.jpg"), true},
             Case{QStringLiteral("\\\\nas\\photos\\zoe.jpg"), true},
             Case{QStringLiteral("/media/corvane-absent-disk/photo.jpg"), true},
             Case{QString::fromStdString(folder + "/empty-mount-point/photo.jpg"), true},
             Case{QString::fromStdString(folder + "/drawing.wmf"), true},
             Case{QString::fromStdString(folder + "/gone.png"), false},
             Case{QString::fromStdString(folder + "/notes.jpg"), false},
             Case{QString::fromStdString(folder + "/pipe.jpg"), false},
             Case{QStringLiteral("/dev/tty"), false},
         }) {
        SCOPED_TRACE(c.path.toStdString());
        platform.messages.clear();
        writeBook({withPicture(c.path)});
        open();
        auto e = openEditor();
        EXPECT_EQ(e->picturePath(), c.kept ? c.path : QString());
        EXPECT_EQ(stored().text(Field::PicturePath), c.kept ? c.path.toStdString() : "");
        EXPECT_EQ(stored().date(Field::LastModified), 40000.0);
        EXPECT_TRUE(e->findChild<QLabel*>("imgPicture")->pixmap().isNull());
        if (c.kept) {
            EXPECT_TRUE(platform.messages.isEmpty());
            // A hint with the path (shortened in the middle) in the frame; no
            // larger view and no picture in the printout of one not shown.
            EXPECT_TRUE(e->findChild<QLabel*>("imgPicture")->text().endsWith(c.path.right(7)));
            EXPECT_TRUE(button(*e, "cmdLargerPic")->isHidden());
            EXPECT_FALSE(button(*e, "cmdPicDelete")->isHidden());
            platform.answers = {MsgAnswer::No};
            app.openPrinter = [](QWidget*, const QString&) { return nullptr; };
            QTest::mouseClick(button(*e, "cmdPrintEntry"), Qt::LeftButton);
            EXPECT_EQ(platform.titles(), QStringList{"Print Options..."});
        } else {
            ASSERT_EQ(platform.titles(), QStringList{"Error loading picture"});
            EXPECT_EQ(
                platform.messages[0].text,
                "Can't find the picture file\nat the indicated location--\n\n(" + c.path + ")");
        }
    }
}

TEST_F(EditorPicture, TheViewerShowsThePictureLargerOrSaysWhenItIsGone) {
    writeBook({withPicture(wide)});
    open();
    frmLargePic viewer(app);
    ASSERT_TRUE(viewer.loadPicture(wide));
    EXPECT_EQ(viewer.findChild<QLabel*>("imgPicture")->size(), twipsSize(8000, 6000));
    QFile::remove(wide);
    frmLargePic empty(app);
    EXPECT_FALSE(empty.loadPicture(wide));
    EXPECT_EQ(platform.titles(), QStringList{"Error loading picture"});
    EXPECT_TRUE(empty.findChild<QLabel*>("imgPicture")->isHidden());
}

TEST_F(EditorPicture, APrintOnOpenPrintsOnceAndClosesAndTheNextOpeningIsForViewing) {
    writeBook({withPicture(wide)});
    open();
    std::vector<test::RecordingSurface::PrintedPicture> printed;
    std::vector<test::PrintedText> titles;
    app.openPrinter = [&](QWidget*, const QString& name) {
        EXPECT_EQ(name, "Corvane picture");
        auto printer = std::make_unique<test::RecordingSurface>();
        printer->onEnd = [&](const test::RecordingSurface& done) {
            printed = done.pictures;
            titles = done.texts;
        };
        return printer;
    };
    app.PrintPictureAtOnce = true;
    {
        frmLargePic viewer(app);
        viewer.setTag(QStringLiteral("Adams, Ann"));
        viewer.loadPicture(wide);
        viewer.exec();  // prints and closes by itself
    }
    EXPECT_FALSE(app.PrintPictureAtOnce);
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_DOUBLE_EQ(printed[0].x, 0.75);
    EXPECT_DOUBLE_EQ(printed[0].y, 2.0);
    EXPECT_DOUBLE_EQ(printed[0].width, 6.25);
    EXPECT_NEAR(printed[0].height, 6.25 * 3 / 4, 0.02);
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0].text, "Adams, Ann");
    EXPECT_FLOAT_EQ(titles[0].x, 0.75f);
    EXPECT_FLOAT_EQ(titles[0].y, 1.8f);
    EXPECT_EQ(titles[0].font, (PrintFont{QStringLiteral("Arial"), 9}));

    // The next opening waits for the user.
    printed.clear();
    frmLargePic viewing(app);
    viewing.loadPicture(wide);
    viewing.show();
    QTest::qWait(0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(viewing.isVisible());
    EXPECT_TRUE(printed.empty());
    viewing.cmdReturn_Click();
}

// The real printout: the title and the picture where they belong on a PDF
// page, read back as text and as pixels.
TEST_F(EditorPicture, ThePicturePrintoutInAPdfFile) {
    writeBook({withPicture(wide)});
    open();
    const std::string pdf = dir.file("picture.pdf");
    platform.saveAnswers = {QString::fromStdString(pdf)};
    frmLargePic viewer(app);
    viewer.setTag(QStringLiteral("Adams, Ann"));
    ASSERT_TRUE(viewer.loadPicture(wide));
    viewer.setWindowTitle(QStringLiteral("Adams, Ann"));
    viewer.cmdPrintPic_Click();
    ASSERT_EQ(platform.titles(), QStringList{"Corvane"});
    const test::PdfText text = test::readPdf(pdf);
    const test::PdfWord* title = text.find(QStringLiteral("Adams,"));
    ASSERT_NE(title, nullptr);
    EXPECT_NEAR(title->left, (0.25 + 0.75) * 72, 1.0);

    // Rendered at 72 dpi, the red picture spans 6.25 inches from 1 inch in.
    const test::ProgramResult render = test::runProgram(
        "/usr/bin/pdftoppm", {"-png", "-r", "72", "-singlefile", pdf, dir.file("page")}, "/");
    ASSERT_EQ(render.exitStatus, 0) << render.err;
    const QImage page(QString::fromStdString(dir.file("page.png")));
    ASSERT_FALSE(page.isNull());
    int left = page.width(), right = -1, top = page.height(), bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_NEAR(left, 72, 2);
    EXPECT_NEAR(right - left + 1, 6.25 * 72, 2);
    EXPECT_NEAR(top, (0.25 + 2.0) * 72, 2);
    EXPECT_NEAR(bottom - top + 1, 6.25 * 72 * 3 / 4, 2);
}

}  // namespace
}  // namespace corvane
