#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

// Every suite runs inside a Qt application (offscreen for windows) with a fixed locale, so that
// number and date texts do not depend on the machine.
int main(int argc, char** argv)
{
    QLocale::setDefault(QLocale::c());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
