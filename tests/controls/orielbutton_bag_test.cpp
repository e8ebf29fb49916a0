// The saved layout of a button: what is written, what is read back.

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include "orielbutton.h"

namespace corvane {
namespace {

TEST(ButtonLayoutBag, AButtonAtItsDefaultsWritesNothing) {
    QWidget window;
    OrielButton button(&window);
    button.readProperties({});
    EXPECT_TRUE(button.writeProperties().isEmpty());
    EXPECT_EQ(button.buttonType(), 2);
    EXPECT_EQ(button.colorScheme(), 1);
    EXPECT_EQ(button.backColor(), kSysButtonFace);
    EXPECT_EQ(button.foreColor(), kSysButtonText);
    EXPECT_EQ(button.maskColor(), 0xC0C0C0u);
    EXPECT_TRUE(button.isEnabled());
    EXPECT_TRUE(button.showFocusRect());
    EXPECT_TRUE(button.useMaskColor());
    EXPECT_EQ(button.version(), "w2005.08.15");
}

TEST(ButtonLayoutBag, TheOverColoursDefaultToTheColoursJustRead) {
    QWidget window;
    OrielButton button(&window);
    button.readProperties({{"BCOL", 0x123456u}, {"FCOL", 0x00FF00u}});
    EXPECT_EQ(button.backOver(), 0x123456u);
    EXPECT_EQ(button.foreOver(), 0x00FF00u);
    const QVariantMap written = button.writeProperties();
    EXPECT_EQ(written.keys(), (QStringList{"BCOL", "FCOL"}));
}

TEST(ButtonLayoutBag, EveryKeyIsWrittenAndReadBack) {
    QWidget window;
    OrielButton button(&window);
    QPixmap normal(8, 8);
    normal.fill(Qt::red);
    QPixmap over(8, 8);
    over.fill(Qt::blue);
    QFont font = window.font();
    font.setPointSize(font.pointSize() + 3);
    font.setItalic(true);
    const QVariantMap bag{
        {"BCOL", 0x101010u}, {"BCOLO", 0x202020u}, {"FCOL", 0x303030u}, {"FCOLO", 0x404040u},
        {"MCOL", 0xFF00FFu}, {"BTYPE", 14},        {"TX", "&Print"},    {"ENAB", false},
        {"FONT", font},      {"COLTYPE", 2},       {"FOCUSR", false},   {"MPTR", qint16(11)},
        {"MICON", normal},   {"SOFT", true},       {"PICN", normal},    {"PICH", over},
        {"PICPOS", 2},       {"UMCOL", false},     {"NGREY", true},     {"FX", 1},
        {"CHECK", true},     {"VALUE", true},
    };
    button.readProperties(bag);
    EXPECT_EQ(button.caption(), "&Print");
    EXPECT_FALSE(button.isEnabled());
    EXPECT_TRUE(button.fontItalic());
    EXPECT_EQ(button.mousePointer(), 11);
    EXPECT_EQ(button.accessKey(), QChar(u'p'));

    const QVariantMap written = button.writeProperties();
    EXPECT_EQ(written.size(), bag.size());
    for (auto it = bag.begin(); it != bag.end(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        ASSERT_TRUE(written.contains(it.key()));
        if (it.value().canConvert<QPixmap>() && it.value().userType() == QMetaType::QPixmap) {
            EXPECT_EQ(written[it.key()].value<QPixmap>().toImage(),
                      it.value().value<QPixmap>().toImage());
        } else {
            EXPECT_EQ(written[it.key()], it.value());
        }
    }

    OrielButton copy(&window);
    copy.readProperties(written);
    EXPECT_EQ(copy.writeProperties().keys(), written.keys());
    EXPECT_EQ(copy.picturePosition(), 2);
    EXPECT_TRUE(copy.value());
}

TEST(ButtonLayoutBag, ANewButtonIsStyleFourteenInItsOwnColours) {
    QWidget window;
    QPalette palette = window.palette();
    palette.setColor(QPalette::Button, QColor(11, 22, 33));
    palette.setColor(QPalette::ButtonText, QColor(44, 55, 66));
    window.setPalette(palette);
    OrielButton* button = OrielButton::createNew("cmdNew", &window);
    EXPECT_EQ(button->buttonType(), 14);
    EXPECT_EQ(button->colorScheme(), 2);
    EXPECT_EQ(button->caption(), "cmdNew");
    EXPECT_EQ(button->backColor(), oleRgb(11, 22, 33));
    EXPECT_EQ(button->backOver(), oleRgb(11, 22, 33));
    EXPECT_EQ(button->foreColor(), oleRgb(44, 55, 66));
    EXPECT_EQ(button->foreOver(), oleRgb(44, 55, 66));
    EXPECT_EQ(button->maskColor(), 0xC0C0C0u);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(button->showFocusRect());
    EXPECT_TRUE(button->useMaskColor());
}

}  // namespace
}  // namespace corvane
