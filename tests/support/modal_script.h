#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <functional>

#include <gtest/gtest.h>

namespace grainlink::test {

// Runs `step` on the modal dialog of type T as soon as it is up, from inside its event loop: the
// test's script for a dialog that the code under test shows with exec(). A dialog that does not
// come within five seconds fails the test, and whatever modal dialog is up then is rejected so
// that the test cannot hang.
template <typename T>
void WhenShown(std::function<void(T*)> step)
{
    constexpr int kPollMs = 10;
    constexpr int kMaxPolls = 500;
    auto* timer = new QTimer;
    timer->setInterval(kPollMs);
    QObject::connect(timer, &QTimer::timeout, [timer, step, polls = 0]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<T*>(modal); dialog && dialog->isVisible()) {
            timer->deleteLater();
            timer->stop();
            step(dialog);
        } else if (++polls == kMaxPolls) {
            timer->deleteLater();
            timer->stop();
            ADD_FAILURE() << "no " << T::staticMetaObject.className() << " was shown";
            if (auto* other = qobject_cast<QDialog*>(modal)) other->reject();
        }
    });
    timer->start();
}

}  // namespace grainlink::test
