#include "modstandard.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QWidget>

#include "backgroundtiles.h"
#include "helptopics.h"

namespace corvane {
namespace {

using namespace modStandard;

TEST(SharedRoutines, MaxOfMinOfAndAddTo) {
    EXPECT_EQ(MaxOf(3, 3), 3);
    EXPECT_EQ(MinOf(3, 3), 3);
    EXPECT_EQ(MinOf(260, 255), 255);
    EXPECT_EQ(MaxOf(-20, 0), 0);
    int counter = 0;
    AddTo(counter, 1);
    EXPECT_EQ(counter, 1);
    short alpha = 250;
    AddTo(alpha, -20);
    EXPECT_EQ(alpha, 230);
}

TEST(SharedRoutines, TileBackgroundRepeatsThePictureAndIgnoresAnEmptyOne) {
    QWidget window;
    window.resize(200, 150);
    const QBrush before = window.palette().window();
    TileBackground(QPixmap(), &window);
    TileBackground(QPixmap(0, 10), &window);
    EXPECT_EQ(window.palette().window(), before);

    QPixmap tile(30, 20);
    tile.fill(Qt::red);
    {
        QPainter p(&tile);
        p.fillRect(0, 0, 1, 1, Qt::blue);
    }
    TileBackground(tile, &window);
    const QImage shown = window.grab().toImage();
    // The tile's corner pixel stands at every multiple of its size, up to the edges.
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(shown.pixelColor(180, 140), QColor(Qt::blue));
    EXPECT_EQ(shown.pixelColor(181, 140), QColor(Qt::red));
}

TEST(BackgroundTiles, EveryDialogHasASeamlessTileOfItsOwn) {
    const QImage find = dialogTile(DialogTile::Find).toImage();
    const QImage help = dialogTile(DialogTile::Help).toImage();
    EXPECT_FALSE(find.isNull());
    EXPECT_NE(find, help);
    EXPECT_EQ(dialogTile(DialogTile::Find).toImage(), find);  // the same every time
}

TEST(HelpTopics, EveryTopicHasItsTextWithWindowsLineBreaks) {
    for (int number : helpTopicNumbers()) {
        SCOPED_TRACE(number);
        const QString text = helpTopicText(number);
        EXPECT_GT(text.size(), 200);
        EXPECT_TRUE(text.contains("\r\n"));
        EXPECT_FALSE(text.contains(QRegularExpression("[^\r]\n")));
    }
    EXPECT_TRUE(helpTopicText(1000).contains("Corvane"));
    EXPECT_TRUE(
        helpTopicText(6000).contains("Avery 8160 or equivalent sheet of 1x2 5/8 inch labels"));
    EXPECT_TRUE(helpTopicText(7000).contains("corvane@oriel-software.example"));
    EXPECT_EQ(helpTopicText(1234), "");
}

}  // namespace
}  // namespace corvane
