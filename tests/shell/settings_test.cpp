#include "settings.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

#include "testsupport.h"

namespace corvane {
namespace {

// Each test gets its own settings file in a fresh folder.
class SettingsTest : public testing::Test {
  protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(folder.path().string()));
    }
    test::TempDir folder;
    Settings settings;
};

TEST_F(SettingsTest, AFirstRunReadsEveryDefault) {
    EXPECT_FALSE(settings.fadeStatus());
    EXPECT_EQ(settings.columnToIndex(), 3);
    EXPECT_EQ(settings.lastTab(), 0);
    EXPECT_EQ(settings.newUser(), "");
}

TEST_F(SettingsTest, EveryKeyIsWrittenAsTextAndReadBack) {
    settings.setFadeStatus(true);
    settings.setColumnToIndex(22);
    settings.setLastTab(2);
    settings.setNewUser("NoShow");
    EXPECT_TRUE(settings.fadeStatus());
    EXPECT_EQ(settings.columnToIndex(), 22);
    EXPECT_EQ(settings.lastTab(), 2);
    EXPECT_EQ(settings.newUser(), "NoShow");

    // The file holds the program's texts, under the program's names.
    QSettings file("Corvane", "Corvane");
    EXPECT_TRUE(file.fileName().startsWith(QString::fromStdString(folder.path().string())));
    EXPECT_EQ(file.value("Defaults/FadeStatus").toString(), "True");
    EXPECT_EQ(file.value("Defaults/ColumnToIndex").toString(), "22");
    EXPECT_EQ(file.value("Defaults/LastTab").toString(), "2");
    EXPECT_EQ(file.value("Defaults/NewUser").toString(), "NoShow");
    settings.setFadeStatus(false);
    EXPECT_EQ(QSettings("Corvane", "Corvane").value("Defaults/FadeStatus").toString(), "False");
}

TEST_F(SettingsTest, TextThatCannotBeConvertedReadsAsTheDefault) {
    settings.write("FadeStatus", "perhaps");
    settings.write("ColumnToIndex", "lots");
    settings.write("LastTab", "99999999");
    EXPECT_FALSE(settings.fadeStatus());
    EXPECT_EQ(settings.columnToIndex(), 3);
    EXPECT_EQ(settings.lastTab(), 0);
}

TEST(SettingsConversion, TrueFalseWordsAndNumbers) {
    EXPECT_TRUE(Settings::toBool("True", false));
    EXPECT_TRUE(Settings::toBool("true", false));
    EXPECT_FALSE(Settings::toBool("FALSE", true));
    EXPECT_TRUE(Settings::toBool("-1", false));
    EXPECT_FALSE(Settings::toBool("0", true));
    EXPECT_TRUE(Settings::toBool("", true));
    EXPECT_EQ(Settings::toShort(" 17 ", 3), 17);
    EXPECT_EQ(Settings::toShort("-2", 3), -2);
    EXPECT_EQ(Settings::toShort("32768", 3), 3);
    EXPECT_EQ(Settings::toShort("4x", 3), 3);
}

}  // namespace
}  // namespace corvane

#include "../shell/fakeplatform.h"
#include "appstate.h"

namespace corvane {
namespace {

TEST(SettingsConversion, NoFiniteNumberReadsAsTheDefault) {
    for (const char* text : {"nan", "NaN", "-nan", "inf", "-inf"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Settings::toShort(text, 3), 3);
        EXPECT_FALSE(Settings::toBool(text, false));
        EXPECT_TRUE(Settings::toBool(text, true));
    }
}

TEST(SettingsFailures, AStoreThatRefusesWritesIsToldOncePerRun) {
    test::TempDir folder;
    // A file where the settings folder should be: nothing can be stored.
    const std::string blocked = folder.file("config");
    test::writeFile(blocked, test::Bytes{'x'});
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(blocked));
    test::FakePlatform platform;
    AppState app(platform, folder.path().string());
    app.settings.setFadeStatus(true);
    app.settings.setLastTab(2);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Please take note...");
    EXPECT_TRUE(platform.messages[0].text.startsWith(
        QStringLiteral("Corvane could not store its settings in\n") +
        QString::fromStdString(blocked)))
        << platform.messages[0].text.toStdString();
    EXPECT_FALSE(app.settings.write("LastTab", "1"));
    EXPECT_EQ(platform.messages.size(), 1);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")));
}

}  // namespace
}  // namespace corvane
