#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "server/ui/about_box.h"
#include "server/ui/product_picture.h"
#include "server/ui/splash_window.h"
#include "tests/support/test_doubles.h"

namespace grainlink::test {
namespace {

const QString kUnableToLoad = "Unable to load Splash.bmp file.";

// A folder for the program's picture file: absent, a real picture, or a file that is none.
class ProductWindowsTest : public ::testing::Test {
protected:
    void putPicture() {
        ASSERT_TRUE(QImage(7, 5, QImage::Format_RGB32).save(picturePath(), "BMP"));
    }
    void putBrokenPicture() {
        QFile file(picturePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("not a picture") > 0);
    }
    QString picturePath() const { return folder.filePath("Splash.bmp"); }
    QStringList folders() const { return {folder.path()}; }
    QStringList shownTexts() const {
        QStringList texts;
        for (const auto& shown : messages.messages) {
            EXPECT_EQ(shown.icon, MessageIcon::None);
            EXPECT_EQ(shown.title, "GrainLink test");
            texts << shown.text;
        }
        return texts;
    }
    template <typename T>
    static QString text(const QWidget& window, const char* name) {
        return window.findChild<T*>(name)->text();
    }
    static QSize pictureSize(const QWidget& window, const char* name) {
        return window.findChild<QLabel*>(name)->pixmap().size();
    }

    QTemporaryDir folder;
    RecordingMessageBox messages;
};

TEST_F(ProductWindowsTest, PictureComesFromTheFileElseTheBuiltInOneWithTheMessage) {
    const QSize builtIn = BuiltInProductPicture().size();
    EXPECT_EQ(LoadProductPicture(folders(), messages, "GrainLink test").size(), builtIn);
    putBrokenPicture();
    EXPECT_EQ(LoadProductPicture(folders(), messages, "GrainLink test").size(), builtIn);
    EXPECT_EQ(shownTexts(), QStringList({kUnableToLoad, kUnableToLoad}));

    putPicture();
    messages.messages.clear();
    const QString otherFolder = folder.filePath("nothing here");
    EXPECT_EQ(LoadProductPicture({otherFolder, folder.path()}, messages, "").size(), QSize(7, 5));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ProductWindowsTest, SplashNamesTheProductAndShowsTheMainWindowOnItsFirstTick) {
    putPicture();
    int mainWindowShown = 0;
    SplashWindow splash("GrainLink test", folders(), messages, [&] { ++mainWindowShown; });
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(splash.objectName(), "frm_Splash");
    EXPECT_EQ(pictureSize(splash, "img_pic"), QSize(7, 5));
    EXPECT_EQ(text<QLabel>(splash, "lblCompanyProduct"), "GrainLink test");
    EXPECT_EQ(text<QLabel>(splash, "lblVersion"), "Version 2.0");
    EXPECT_TRUE(text<QLabel>(splash, "lblPlatform(1)").startsWith("Built for "));
    EXPECT_TRUE(text<QLabel>(splash, "lblPlatform(2)").startsWith("Running on "));

    auto* tick = splash.findChild<QTimer*>("Tmr_tick");
    ASSERT_TRUE(tick && tick->isActive());
    EXPECT_EQ(tick->interval(), 4000);
    splash.showCentred();
    tick->setInterval(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return mainWindowShown > 0; }));
    QTest::qWait(20);
    EXPECT_EQ(mainWindowShown, 1);
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(ProductWindowsTest, SplashWithoutItsPictureFileSaysSoAndKeepsTheBuiltInOne) {
    SplashWindow splash("GrainLink test", folders(), messages, [] {});
    EXPECT_EQ(shownTexts(), QStringList{kUnableToLoad});
    EXPECT_EQ(pictureSize(splash, "img_pic"), BuiltInProductPicture().size());
}

TEST_F(ProductWindowsTest, AboutBoxNamesTheProductAndComplainsOfAMissingPictureEachTime) {
    for (int opened = 1; opened <= 2; ++opened) {
        AboutBox about("GrainLink test", folders(), messages, {});
        EXPECT_EQ(shownTexts().size(), opened);
        EXPECT_EQ(about.objectName(), "frm_help");
        EXPECT_EQ(about.windowTitle(), "Help about");
        EXPECT_EQ(text<QLabel>(about, "lblTitle"), "GrainLink test");
        EXPECT_EQ(text<QLabel>(about, "lblVersion"), "Version 2.0");
        EXPECT_FALSE(text<QLabel>(about, "lblNotice").isEmpty());
        EXPECT_EQ(text<QPushButton>(about, "cmdSysInfo"), "&System Info...");
        EXPECT_EQ(pictureSize(about, "Image1"), BuiltInProductPicture().size());
    }
}

TEST_F(ProductWindowsTest, SystemInfoShowsTheTextAndCopiesItAll) {
    putPicture();
    AboutBox about("GrainLink test", folders(), messages, [] { return QString("Port 1: x\n"); });
    QString shown;
    QTimer::singleShot(0, &about, [&] {
        QWidget* window = QApplication::activeModalWidget();
        ASSERT_TRUE(window && window->objectName() == "frm_sysinfo");
        shown = window->findChild<QPlainTextEdit*>("txt_sysinfo")->toPlainText();
        window->findChild<QPushButton*>("cmd_copy")->click();
        window->findChild<QPushButton*>("cmd_close")->click();
    });
    QApplication::clipboard()->clear();
    about.findChild<QPushButton*>("cmdSysInfo")->click();
    EXPECT_EQ(shown, "Port 1: x\n");
    EXPECT_EQ(QApplication::clipboard()->text(), "Port 1: x\n");
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ProductWindowsTest, SystemInfoThatCannotBeMadeIsReportedUnavailable) {
    putPicture();
    const std::function<QString()> failing[] = {
        {}, [] { return QString(); }, []() -> QString { throw std::runtime_error("no"); }};
    for (const auto& source : failing) {
        AboutBox about("GrainLink test", folders(), messages, source);
        about.StartSysInfo();
    }
    EXPECT_EQ(shownTexts(), QStringList(3, "System Information Is Unavailable At This Time"));
}

}  // namespace
}  // namespace grainlink::test
