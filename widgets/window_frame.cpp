#include "widgets/window_frame.h"

#include <QApplication>
#include <QWidget>

namespace grainlink {
namespace {

QMargins OwnFrame(const QWidget* window)
{
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

}  // namespace

QMargins WindowFrame(const QWidget* window)
{
    QMargins frame = OwnFrame(window);
    if (!frame.isNull()) return frame;
    for (const QWidget* shown : QApplication::topLevelWidgets()) {
        if (!shown->isVisible()) continue;
        const QMargins other = OwnFrame(shown);
        if (other.top() > frame.top()) frame = other;
    }
    return frame;
}

bool WindowFrameKnown(const QWidget* window)
{
    return !OwnFrame(window).isNull() || WindowFrame(window).isNull();
}

}  // namespace grainlink
