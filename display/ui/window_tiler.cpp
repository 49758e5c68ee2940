#include "display/ui/window_tiler.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "widgets/twips.h"
#include "widgets/window_frame.h"

#include <algorithm>

namespace grainlink {
namespace {

constexpr int kFramingWaitMs = 2000;
constexpr int kFramingPollMs = 50;

QSize ToTwips(QSize pixels)
{
    return pixels * kTwipsPerPixel;
}

// Sizes round down, so that a planned size never grows past the room it was planned for.
QSize ToPixels(QSize twips)
{
    return {twips.width() / kTwipsPerPixel, twips.height() / kTwipsPerPixel};
}

QPoint ToPixels(QPoint twips)
{
    return {TwipsToPixels(twips.x()), TwipsToPixels(twips.y())};
}

ArrangedWindows Describe(const UnitWindowList& windows)
{
    ArrangedWindows described;
    for (int slot = 0; slot < kArrangedWindows; ++slot) {
        const QWidget* window = windows[slot];
        if (!window) continue;
        const QMargins frame = WindowFrame(window);
        described[slot] = {window->isVisible(), ToTwips(window->size().grownBy(frame)),
                           ToTwips(window->minimumSize().grownBy(frame))};
    }
    return described;
}

// A window just shown (by Show All) is mapped, framed and placed by the window system a little
// later, and a size or position asked for before that may be lost. The wait is bounded, and a
// timer of its own wakes it to look at the deadline, so that a window system that never shows
// a window cannot hold the server up.
void WaitUntilFramed(const UnitWindowList& windows)
{
    const auto unframed = [&windows] {
        return std::any_of(windows.begin(), windows.end(), [](const QWidget* window) {
            if (!window || !window->isVisible() || !window->windowHandle()) return false;
            return !window->windowHandle()->isExposed() || !WindowFrameKnown(window);
        });
    };
    const QDeadlineTimer deadline(kFramingWaitMs);
    QTimer wake;
    wake.start(kFramingPollMs);
    while (unframed() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace

void TileWindows(const UnitWindowList& windows, const QScreen& screen)
{
    for (QWidget* window : windows) {
        if (!window || !window->isVisible()) continue;
        window->setWindowState(window->windowState() &
                               ~(Qt::WindowMinimized | Qt::WindowMaximized));
    }
    WaitUntilFramed(windows);

    const QRect area = screen.availableGeometry();
    const QSize areaTwips = ToTwips(area.size());
    // The windows are placed at the sizes asked for: a window system may confirm a new size
    // only later.
    ArrangedWindows described = Describe(windows);
    const TileSizing sizing = PlanTileSizing(described, areaTwips);
    for (int slot = 0; slot < kArrangedWindows; ++slot) {
        QWidget* window = windows[slot];
        if (!window || !window->isVisible() || !IsTableSlot(slot) || !sizing.tableSize) continue;
        described[slot].size = *sizing.tableSize;
        window->resize(ToPixels(*sizing.tableSize).shrunkBy(WindowFrame(window)));
    }
    QCoreApplication::processEvents();  // the tables lay themselves out at their new size

    const WindowCorners corners = PlaceWindows(described, sizing.arrangement, areaTwips);
    for (int slot = 0; slot < kArrangedWindows; ++slot) {
        if (!corners[slot]) continue;
        // Placed by its client area, which does not depend on whether the window system has
        // told its frame yet.
        const QRect outer(area.topLeft() + ToPixels(*corners[slot]),
                          ToPixels(described[slot].size));
        windows[slot]->setGeometry(outer.marginsRemoved(WindowFrame(windows[slot])));
    }
}

}  // namespace grainlink
