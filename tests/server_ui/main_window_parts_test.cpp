// The parts of the main window that stand alone: the program's picture, the splash window, the
// about box with its system information, and the main menu.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "server/ui/about_box.h"
#include "server/ui/close_window.h"
#include "server/ui/main_menu.h"
#include "server/ui/product_picture.h"
#include "server/ui/splash_window.h"
#include "server/ui/system_info_window.h"
#include "tests/support/keyboard.h"
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

// Alt with the underlined letter opens a menu or runs a command on the bar; the captions keep
// their words.
TEST(MainMenuTest, EveryMenuHasAnAccessKey)
{
    QStringList calls;
    QMainWindow window;
    MainMenu menu{
        window.menuBar(),
        MainMenuCommands{.options = [&] { calls << "options"; },
                         .showDataWindow = [&](int unit) { calls << QString("data %1").arg(unit); },
                         .help = [&] { calls << "help"; }}};
    menu.setOptionsEnabled(true);
    menu.setSecurityVisible(true);
    ASSERT_TRUE(Activate(&window));
    QTest::keyClick(&window, Qt::Key_V, Qt::AltModifier);
    auto* view = window.findChild<QMenu*>("mnu_view");
    ASSERT_TRUE(view->isVisible());
    QTest::keyClick(view, Qt::Key_R);  // Raw Data
    auto* rawData = window.findChild<QMenu*>("mnu_raw_data");
    ASSERT_TRUE(rawData->isVisible());
    QTest::keyClick(rawData, Qt::Key_2);
    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    auto* security = window.findChild<QMenu*>("mnu_security");
    EXPECT_TRUE(security->isVisible());
    QTest::keyClick(security, Qt::Key_Escape);
    QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
    QTest::keyClick(&window, Qt::Key_H, Qt::AltModifier);
    EXPECT_EQ(calls, QStringList({"data 2", "options", "help"}));

    QStringList captions;
    for (const QAction* action : window.menuBar()->findChildren<QAction*>())
        if (!action->text().isEmpty()) captions << QString(action->text()).remove(u'&');
    for (const char* caption :
         {"Close", "Security", "Log on", "Log off", "Options", "View", "Raw Data", "Table / Graph",
          "Unit 1 Raw Data", "Unit 4 table / graph", "Show All Raw Data", "Show All table / graphs",
          "Tile All / Cascade All", "Help"})
        EXPECT_TRUE(captions.contains(QLatin1String(caption))) << caption;
}

// The confirmation names what other programs lose: their MQTT values. It starts on Cancel, so
// that Enter keeps the server running; Tab goes round its buttons, as it goes through the about
// box and the system information in reading order.
TEST_F(ProductWindowsTest, TheConfirmationNamesMqttAndTabFollowsTheDialogs)
{
    CloseWindow confirmation(QStringLiteral("QS2600"), {});
    EXPECT_EQ(confirmation.findChild<QLabel*>("Label1")->text(),
              "Closing this program will stop all communications to the QS2600(s). Any programs "
              "connected to this program via MQTT will also lose data - are you sure you want to "
              "close the program ?");
    EXPECT_EQ(TabOrder(&confirmation), QStringList({"CancelButton", "OKButton"}));
    putPicture();
    AboutBox about("GrainLink test", {folder.path()}, messages, {});
    EXPECT_EQ(TabOrder(&about), QStringList({"cmdOK", "cmdSysInfo"}));
    SystemInfoWindow information(QStringLiteral("Port 1\n"));
    EXPECT_EQ(TabOrder(&information), QStringList({"txt_sysinfo", "cmd_copy", "cmd_close"}));
}

}  // namespace
}  // namespace grainlink::test
