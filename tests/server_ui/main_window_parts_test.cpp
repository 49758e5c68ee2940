// The parts of the main window that stand alone: the program's picture, the splash window, the
// about box with its system information, and the main menu.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "server/ui/about_box.h"
#include "server/ui/main_menu.h"
#include "server/ui/product_picture.h"
#include "server/ui/splash_window.h"
#include "tests/support/test_doubles.h"

namespace grainlink::test {
namespace {

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
    // The messages shown, each under the product's name and without an icon.
    QStringList shownTexts() const
    {
        QStringList texts;
        for (const auto& shown : messages.messages)
            texts << shown.title + (shown.icon == MessageIcon::None ? ": " : " (icon): ") +
                         shown.text;
        return texts;
    }
    static QSize PictureSize(const QWidget& window, const char* name)
    {
        return window.findChild<QLabel*>(name)->pixmap().size();
    }

    QTemporaryDir folder;
    RecordingMessageBox messages;
};

// The first folder that holds the file decides; a file that is no picture is not passed over.
TEST_F(ProductWindowsTest, PictureComesFromTheFileElseTheBuiltInOneWithTheMessage)
{
    const QSize builtIn = BuiltInProductPicture().size();
    EXPECT_EQ(LoadProductPicture({folder.path()}, messages, "GrainLink test").size(), builtIn);
    putPicture("not a picture");
    EXPECT_EQ(LoadProductPicture({folder.path()}, messages, "GrainLink test").size(), builtIn);
    EXPECT_EQ(shownTexts(), QStringList(2, "GrainLink test: Unable to load Splash.bmp file."));

    putPicture();
    messages.messages.clear();
    const QStringList folders{folder.filePath("nothing here"), folder.path()};
    EXPECT_EQ(LoadProductPicture(folders, messages, "").size(), QSize(7, 5));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ProductWindowsTest, SplashNamesTheProductAndShowsTheMainWindowOnItsFirstTick)
{
    putPicture();
    int mainWindowShown = 0;
    SplashWindow splash("GrainLink test", {folder.path()}, messages, [&] { ++mainWindowShown; });
    EXPECT_EQ(PictureSize(splash, "img_pic"), QSize(7, 5));
    EXPECT_EQ(splash.findChild<QLabel*>("lblCompanyProduct")->text(), "GrainLink test");
    auto* tick = splash.findChild<QTimer*>("Tmr_tick");
    ASSERT_TRUE(tick && tick->isActive());
    splash.showCentred();
    tick->setInterval(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return mainWindowShown > 0; }));
    EXPECT_EQ(std::tuple(mainWindowShown, splash.isVisible(), tick->isActive()),
              std::tuple(1, false, false));
}

// Without its picture file the about box says so and shows the built-in picture. System Info
// shows the program's text with a button that copies it all, and says when there is none.
TEST_F(ProductWindowsTest, AboutBoxAndItsSystemInformation)
{
    AboutBox about("GrainLink test", {folder.path()}, messages, [] { return QString("Port 1\n"); });
    EXPECT_EQ(PictureSize(about, "Image1"), BuiltInProductPicture().size());
    EXPECT_EQ(about.findChild<QLabel*>("lblTitle")->text(), "GrainLink test");
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
    EXPECT_EQ(std::tuple(shown, QApplication::clipboard()->text()),
              std::tuple("Port 1\n", "Port 1\n"));

    const std::function<QString()> failing[] = {
        {}, [] { return QString(); }, []() -> QString { throw std::runtime_error("no"); }};
    for (const auto& source : failing)
        AboutBox("GrainLink test", {folder.path()}, messages, source).StartSysInfo();
    // Each about box complains of the missing picture again.
    const QString unable = "GrainLink test: Unable to load Splash.bmp file.";
    const QString none = "GrainLink test: System Information Is Unavailable At This Time";
    EXPECT_EQ(shownTexts(), QStringList({unable, unable, none, unable, none, unable, none}));
}

// The main window's menu: every item runs its own command, with its unit.
TEST(MainMenuTest, EachItemRunsItsCommand)
{
    QStringList calls;
    QMenuBar bar;
    MainMenu menu{&bar, MainMenuCommands{[&] { calls << "close"; }, [&] { calls << "logOn"; },
                                         [&] { calls << "logOff"; }, [&] { calls << "options"; },
                                         [&](int unit) { calls << QString("data %1").arg(unit); },
                                         [&](int unit) { calls << QString("graph %1").arg(unit); },
                                         [&] { calls << "allData"; }, [&] { calls << "allGraphs"; },
                                         [&] { calls << "tile"; }, [&] { calls << "overview"; },
                                         [&] { calls << "help"; }}};
    for (const char* name :
         {"mnu_close", "mnu_login", "mnu_logoff", "mnu_options", "mnu_data(2)", "mnu_graph(4)",
          "mnu_all_data", "mnu_all_graphs", "mnu_tile", "mnu_overview", "mnu_help"}) {
        bar.findChild<QAction*>(name)->setEnabled(true);
        bar.findChild<QAction*>(name)->trigger();
    }
    EXPECT_EQ(calls, QStringList({"close", "logOn", "logOff", "options", "data 2", "graph 4",
                                  "allData", "allGraphs", "tile", "overview", "help"}));
}

}  // namespace
}  // namespace grainlink::test
