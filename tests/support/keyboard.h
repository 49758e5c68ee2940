#pragma once

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace grainlink::test {

// Shows the window and makes it the active one, as the window manager does when the user
// brings it in front (the offscreen platform gives it back no activation by itself).
inline bool Activate(QWidget* window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// The controls the Tab key visits in `window`, by object name, from the one that has the focus
// when the window is activated round to it again (at most `limit` presses).
inline QStringList TabOrder(QWidget* window, int limit = 40)
{
    QStringList visited;
    if (!Activate(window)) {
        ADD_FAILURE() << "the window could not be activated";
        return visited;
    }
    QWidget* first = QApplication::focusWidget();
    if (!first) return visited;
    QWidget* current = first;
    do {
        visited << current->objectName();
        QTest::keyClick(current, Qt::Key_Tab);
        current = QApplication::focusWidget();
    } while (current && current != first && visited.size() < limit);
    return visited;
}

}  // namespace grainlink::test
