#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

// Every suite runs inside a Qt application with a fixed locale, so that number and date texts do
// not depend on the machine. Windows render offscreen unless asked otherwise, also when the build
// runs a suite to list its tests on a machine without a display.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale::c());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
