#include "display/ui/window_tiler.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "widgets/twips.h"

namespace grainlink {
namespace {

QSize ToTwips(QSize pixels) { return pixels * kTwipsPerPixel; }

QSize ToPixels(QSize twips)
{
    return {TwipsToPixels(twips.width()), TwipsToPixels(twips.height())};
}

QPoint ToPixels(QPoint twips) { return {TwipsToPixels(twips.x()), TwipsToPixels(twips.y())}; }

// A window that has never been shown has not been laid out yet: its size is the one its layout
// asks for. Its frame is unknown until the window system has shown it.
QSize OuterSize(const QWidget* window)
{
    if (!window->testAttribute(Qt::WA_WState_Created) && window->sizeHint().isValid())
        return window->sizeHint();
    return window->frameGeometry().size();
}

ArrangedWindows Describe(const UnitWindowList& windows)
{
    ArrangedWindows described;
    for (int slot = 0; slot < kArrangedWindows; ++slot) {
        if (QWidget* window = windows[slot])
            described[slot] = {window->isVisible(), ToTwips(OuterSize(window))};
    }
    return described;
}

void ResizeOuter(QWidget* window, QSize outer)
{
    const QSize frame = window->frameGeometry().size() - window->size();
    window->resize(outer - frame);
}

}  // namespace

void TileWindows(const UnitWindowList& windows)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize screenTwips = ToTwips(area.size());

    const TileSizing sizing = PlanTileSizing(Describe(windows), screenTwips);
    for (int slot = 0; slot < kArrangedWindows; ++slot) {
        QWidget* window = windows[slot];
        if (!window || !window->isVisible()) continue;
        window->setWindowState(window->windowState() &
                               ~(Qt::WindowMinimized | Qt::WindowMaximized));
        if (IsTableSlot(slot) && sizing.tableSize) ResizeOuter(window, ToPixels(*sizing.tableSize));
    }
    QCoreApplication::processEvents();

    const auto corners = PlaceWindows(Describe(windows), sizing.arrangement, screenTwips);
    for (int slot = 0; slot < kArrangedWindows; ++slot) {
        if (!corners[slot]) continue;
        windows[slot]->move(area.topLeft() + ToPixels(*corners[slot]));
    }
}

}  // namespace grainlink
