// Entry pictures: the fitting rule, decoding at the shown size, which paths
// an entry can keep, and the picture printout's place on the page.

#include "entrypicture.h"

#include <gtest/gtest.h>

#include <QImage>

#include "pictureprintout.h"
#include "testsupport.h"
#include "twips.h"

namespace corvane {
namespace {

TEST(FitPicture, TheLongerSideFillsTheFrame) {
    const PictureSize wide = FitPicture({6000, 4500}, kEditorFrameWidth, kEditorFrameHeight);
    EXPECT_EQ(wide.width, 4005);
    EXPECT_EQ(wide.height, 3003);
    const PictureSize upright = FitPicture({4500, 6000}, kEditorFrameWidth, kEditorFrameHeight);
    EXPECT_EQ(upright.width, 2610);
    EXPECT_EQ(upright.height, 3480);
    const PictureSize square = FitPicture({5000, 5000}, kEditorFrameWidth, kEditorFrameHeight);
    EXPECT_EQ(square.width, 3480);
    EXPECT_EQ(square.height, 3480);
    // A wide but nearly square picture (1000 x 990 pixels) fits by its
    // height, in the editor's frame and in the larger view's.
    const PictureSize nearlySquare{15000, 14850};
    EXPECT_EQ(FitPicture(nearlySquare, kEditorFrameWidth, kEditorFrameHeight).width, 3515);
    EXPECT_EQ(FitPicture(nearlySquare, kEditorFrameWidth, kEditorFrameHeight).height, 3480);
    EXPECT_EQ(FitPicture(nearlySquare, kViewerFrameWidth, kViewerFrameHeight).width, 6060);
    EXPECT_EQ(FitPicture(nearlySquare, kViewerFrameWidth, kViewerFrameHeight).height, 6000);
}

TEST(LoadPicture, ALargePictureIsDecodedAtTheSizeItIsShown) {
    test::TempDir dir;
    const QString path = QString::fromStdString(dir.file("big.png"));
    QImage big(2400, 1800, QImage::Format_RGB32);
    big.fill(Qt::darkGreen);
    ASSERT_TRUE(big.save(path));
    const LoadedPicture picture = loadFittedPicture(path, kEditorFrameWidth, kEditorFrameHeight);
    ASSERT_FALSE(picture.image.isNull()) << picture.error.toStdString();
    EXPECT_EQ(picture.natural.width, 2400 * 15);
    EXPECT_EQ(picture.natural.height, 1800 * 15);
    EXPECT_EQ(picture.fitted.width, 4005);
    EXPECT_EQ(picture.fitted.height, 3003);
    EXPECT_EQ(picture.image.width(), twipsX(4005));
    EXPECT_LT(picture.image.width(), 2400);

    const LoadedPicture none = loadFittedPicture(QString::fromStdString(dir.file("none.png")),
                                                 kEditorFrameWidth, kEditorFrameHeight);
    EXPECT_TRUE(none.image.isNull());
    EXPECT_FALSE(none.error.isEmpty());
}

// A picture file that claims 40,000 by 30,000 pixels (3.6 GB decoded) is
// refused with a reason, never decoded whole.
TEST(LoadPicture, AnEnormousPictureIsRefusedNotDecoded) {
    test::TempDir dir;
    test::Bytes bmp(54, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bmp[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, 54 + 3600000000u);   // the file's claimed size
    put32(10, 54);                // where the pixels begin
    put32(14, 40);                // the header's size
    put32(18, 40000);             // width
    put32(22, 30000);             // height
    bmp[26] = 1;                  // one plane
    bmp[28] = 24;                 // bits per pixel
    bmp.resize(54 + 4096, 0x7F);  // and a little of them
    const QString path = QString::fromStdString(dir.file("enormous.bmp"));
    test::writeFile(path.toStdString(), bmp);
    const LoadedPicture picture = loadFittedPicture(path, kEditorFrameWidth, kEditorFrameHeight);
    EXPECT_TRUE(picture.image.isNull());
    EXPECT_FALSE(picture.error.isEmpty());
}

// Only a path the entry keeps whole may be stored; the user is told why not
// and the remedy that fits the reason.
TEST(PicturePath, OnlyAPathTheEntryKeepsWholeMayBeStored) {
    EXPECT_TRUE(pictureStorageProblem("/home/ann/Bilder/Ölkäse.jpg").none());
    EXPECT_TRUE(pictureStorageProblem("/home/ann/" + QString(90, u'x')).none());  // 100 characters
    const PictureStorageProblem tooLong = pictureStorageProblem("/home/ann/" + QString(91, u'x'));
    EXPECT_EQ(tooLong.reason,
              "its full path is 101 characters long, more than the 100 an entry can store");
    EXPECT_TRUE(tooLong.remedy.contains("shorter"));
    const PictureStorageProblem characters = pictureStorageProblem("/home/ann/照片/猫.jpg");
    EXPECT_EQ(characters.reason, "its name holds characters an entry cannot store (照片猫)");
    EXPECT_TRUE(characters.remedy.contains("without those characters"));
    EXPECT_FALSE(characters.remedy.contains("shorter"));
    EXPECT_FALSE(pictureStorageProblem(" /leading/blank.jpg").none());
}

TEST(PicturePrintout, SixAndAQuarterInchesWideUnlessTooTallForThePage) {
    const PicturePlace landscape = picturePlace(400, 300, 10.5);
    EXPECT_DOUBLE_EQ(landscape.left, 0.75);
    EXPECT_DOUBLE_EQ(landscape.top, 2.0);
    EXPECT_DOUBLE_EQ(landscape.width, 6.25);
    EXPECT_DOUBLE_EQ(landscape.height, 4.6875);
    const PicturePlace square = picturePlace(300, 300, 10.5);
    EXPECT_DOUBLE_EQ(square.height, 6.25);  // from 2.0 to 8.25 inches down
    // Twice as tall as wide would reach 14.5 inches: it is scaled to end at
    // the printable area's foot, its proportions kept.
    const PicturePlace tall = picturePlace(300, 600, 10.5);
    EXPECT_DOUBLE_EQ(tall.height, 8.5);
    EXPECT_DOUBLE_EQ(tall.width, 4.25);
}

}  // namespace
}  // namespace corvane
