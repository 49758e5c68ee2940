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
    void putPicture(const QByteArray& bytes = {})
    {
        QFile file(folder.filePath("Splash.bmp"));
        if (!bytes.isEmpty())
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        else
            ASSERT_TRUE(QImage(7, 5, QImage::Format_RGB32).save(&file, "BMP"));
    }
    QStringList folders() const { return {folder.path()}; }
    QStringList shownTexts() const
    {
        QStringList texts;
        for (const auto& shown : messages.messages) {
            EXPECT_EQ(shown.icon, MessageIcon::None);
            EXPECT_EQ(shown.title, "GrainLink test");
            texts << shown.text;
        }
        return texts;
    }
    static QString text(const QWidget& window, const char* name)
    {
        return window.findChild<QLabel*>(name)->text();
    }
    static QSize pictureSize(const QWidget& window, const char* name)
    {
        return window.findChild<QLabel*>(name)->pixmap().size();
    }

    QTemporaryDir folder;
    RecordingMessageBox messages;
};

TEST_F(ProductWindowsTest, PictureComesFromTheFileElseTheBuiltInOneWithTheMessage)
{
    const QSize builtIn = BuiltInProductPicture().size();
    EXPECT_EQ(LoadProductPicture(folders(), messages, "GrainLink test").size(), builtIn);
    putPicture("not a picture");
    EXPECT_EQ(LoadProductPicture(folders(), messages, "GrainLink test").size(), builtIn);
    EXPECT_EQ(shownTexts(), QStringList({kUnableToLoad, kUnableToLoad}));

    putPicture();
    messages.messages.clear();
    const QString otherFolder = folder.filePath("nothing here");
    EXPECT_EQ(LoadProductPicture({otherFolder, folder.path()}, messages, "").size(), QSize(7, 5));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ProductWindowsTest, SplashNamesTheProductAndShowsTheMainWindowOnItsFirstTick)
{
    putPicture();
    int mainWindowShown = 0;
    SplashWindow splash("GrainLink test", folders(), messages, [&] { ++mainWindowShown; });
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(pictureSize(splash, "img_pic"), QSize(7, 5));
    EXPECT_EQ(text(splash, "lblCompanyProduct"), "GrainLink test");
    EXPECT_EQ(text(splash, "lblVersion"), "Version 2.0");
    EXPECT_TRUE(text(splash, "lblPlatform(1)").startsWith("Built for "));
    EXPECT_TRUE(text(splash, "lblPlatform(2)").startsWith("Running on "));

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

TEST_F(ProductWindowsTest, SplashWithoutItsPictureFileSaysSoAndKeepsTheBuiltInOne)
{
    SplashWindow splash("GrainLink test", folders(), messages, [] {});
    EXPECT_EQ(shownTexts(), QStringList{kUnableToLoad});
    EXPECT_EQ(pictureSize(splash, "img_pic"), BuiltInProductPicture().size());
}

TEST_F(ProductWindowsTest, AboutBoxNamesTheProductAndComplainsOfAMissingPictureEachTime)
{
    AboutBox first("GrainLink test", folders(), messages, {});
    AboutBox second("GrainLink test", folders(), messages, {});
    EXPECT_EQ(shownTexts(), QStringList(2, kUnableToLoad));
    EXPECT_EQ(pictureSize(first, "Image1"), BuiltInProductPicture().size());
    EXPECT_EQ(first.windowTitle(), "Help about");
    EXPECT_EQ(text(first, "lblTitle"), "GrainLink test");
    EXPECT_EQ(text(first, "lblVersion"), "Version 2.0");
    EXPECT_EQ(first.findChild<QPushButton*>("cmdSysInfo")->text(), "&System Info...");
}

TEST_F(ProductWindowsTest, SystemInfoShowsTheTextAndCopiesItAll)
{
    putPicture();
    AboutBox about("GrainLink test", folders(), messages, [] { return QString("Port 1: x\n"); });
    QString shown;
    QTimer::singleShot(0, &about, [&] {
        QWidget* window = QApplication::activeModalWidget();
        EXPECT_EQ(window->objectName(), "frm_sysinfo");
        shown = window->findChild<QPlainTextEdit*>("txt_sysinfo")->toPlainText();
        window->findChild<QPushButton*>("cmd_copy")->click();
        window->close();
    });
    QApplication::clipboard()->clear();
    about.findChild<QPushButton*>("cmdSysInfo")->click();
    EXPECT_EQ(shown, "Port 1: x\n");
    EXPECT_EQ(QApplication::clipboard()->text(), "Port 1: x\n");
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ProductWindowsTest, SystemInfoThatCannotBeMadeIsReportedUnavailable)
{
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
