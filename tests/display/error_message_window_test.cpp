#include "display/ui/error_message_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace grainlink::test {
namespace {

TEST(ErrorMessageWindowTest, RepeatedErrorsShowOneWindowWhichOkHides)
{
    ErrorMessageWindow window;
    const auto windows = QApplication::topLevelWidgets().size();
    for (int shown = 0; shown < 3; ++shown) window.showPortError("no such device");
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);
    EXPECT_TRUE(window.isVisible());
    QTest::mouseClick(window.findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace grainlink::test
