#include "display/window_arrangement.h"

namespace grainlink {
namespace {

constexpr int kCascadeStep = 500;

// a / b rounded to the nearest integer, ties to the even one, for a >= 0 and b > 0.
int DivideRoundingToEven(int a, int b)
{
    const int quotient = a / b;
    const int twiceRemainder = 2 * (a % b);
    if (twiceRemainder > b || (twiceRemainder == b && quotient % 2 != 0)) return quotient + 1;
    return quotient;
}

}  // namespace

TileSizing PlanTileSizing(const ArrangedWindows& windows, QSize screen)
{
    int visible = 0;
    bool tableVisible = false;
    for (int slot = 0; slot < kArrangedWindows; ++slot) {
        if (!windows[slot].visible) continue;
        ++visible;
        tableVisible = tableVisible || IsTableSlot(slot);
    }

    TileSizing sizing;
    if (visible > 1) {
        const QSize cell = windows[DataWindowSlot(1)].size;
        const bool noCells = cell.width() <= 0 || cell.height() <= 0;
        const int cells = noCells ? 0
                                  : DivideRoundingToEven(screen.width(), cell.width()) *
                                        DivideRoundingToEven(screen.height(), cell.height());
        if (visible > cells) sizing.arrangement = Arrangement::Cascade;
    }
    if (tableVisible) sizing.tableSize = QSize(screen.width() / 2, screen.height() / 2);
    return sizing;
}

std::array<std::optional<QPoint>, kArrangedWindows> PlaceWindows(const ArrangedWindows& windows,
                                                                 Arrangement arrangement,
                                                                 QSize screen)
{
    std::array<std::optional<QPoint>, kArrangedWindows> corners;
    QPoint next(0, 0);
    for (int slot = 0; slot < kArrangedWindows; ++slot) {
        const ArrangedWindow& window = windows[slot];
        if (!window.visible) continue;
        if (arrangement == Arrangement::Grid) {
            // A window too wide for any row still opens its own row rather than leave one empty.
            if (next.x() > 0 && screen.width() - next.x() < window.size.width())
                next = QPoint(0, next.y() + window.size.height());
            corners[slot] = next;
            next.rx() += window.size.width();
        } else {
            corners[slot] = next;
            next += QPoint(kCascadeStep, kCascadeStep);
        }
    }
    return corners;
}

}  // namespace grainlink
