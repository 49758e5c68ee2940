#include "display/ui/error_message_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace grainlink::test {
namespace {

int ErrorWindowsOnScreen()
{
    int shown = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("frm_ErrMsg") && widget->isVisible()) ++shown;
    return shown;
}

TEST(ErrorMessageWindowTest, RepeatedErrorsShowOneWindowWhichOkHides)
{
    ErrorMessageWindow window;
    ErrorNotice& notice = window;
    notice.showPortError();
    notice.showPortError();
    notice.showPortError();
    EXPECT_EQ(ErrorWindowsOnScreen(), 1);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Error Message"));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QString::fromLatin1(kPortErrorText));

    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("OKBtn")), Qt::LeftButton);
    EXPECT_EQ(ErrorWindowsOnScreen(), 0);
    notice.showPortError();
    EXPECT_EQ(ErrorWindowsOnScreen(), 1);
}

}  // namespace
}  // namespace grainlink::test
