#include "display/ui/tile_grid_layout.h"

#include <QWidget>

#include <algorithm>

namespace grainlink {
namespace {

constexpr int kGap = 8;

int HeightAt(const QLayoutItem* item, int width)
{
    const int height =
        item->hasHeightForWidth() ? item->heightForWidth(width) : item->sizeHint().height();
    return std::max(height, item->minimumSize().height());
}

}  // namespace

TileGridLayout::TileGridLayout(QWidget* parent) : QLayout(parent)
{
    setSpacing(kGap);
}

TileGridLayout::~TileGridLayout()
{
    qDeleteAll(m_items);
}

void TileGridLayout::addItem(QLayoutItem* item)
{
    m_items << item;
}

int TileGridLayout::count() const
{
    return static_cast<int>(m_items.size());
}

QLayoutItem* TileGridLayout::itemAt(int index) const
{
    return m_items.value(index);
}

QLayoutItem* TileGridLayout::takeAt(int index)
{
    return index >= 0 && index < count() ? m_items.takeAt(index) : nullptr;
}

int TileGridLayout::widestMinimum() const
{
    int widest = 0;
    for (const QLayoutItem* item : m_items) widest = std::max(widest, item->minimumSize().width());
    return widest;
}

int TileGridLayout::columnsFor(int width) const
{
    const int tiles = count();
    if (tiles == 0) return 1;
    const int most = std::clamp((width + spacing()) / (widestMinimum() + spacing()), 1, tiles);
    const int rows = (tiles + most - 1) / most;
    return (tiles + rows - 1) / rows;
}

int TileGridLayout::arrange(const QRect& rect, bool place) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int columns = columnsFor(area.width());
    const int columnWidth =
        std::max(widestMinimum(), (area.width() - (columns - 1) * spacing()) / columns);
    int top = area.top();
    for (int first = 0; first < count(); first += columns) {
        const int last = std::min(count(), first + columns);
        int rowHeight = 0;
        for (int i = first; i < last; ++i)
            rowHeight = std::max(rowHeight, HeightAt(m_items[i], columnWidth));
        if (place)
            for (int i = first; i < last; ++i)
                m_items[i]->setGeometry(QRect(area.left() + (i - first) * (columnWidth + spacing()),
                                              top, columnWidth, rowHeight));
        top += rowHeight + spacing();
    }
    if (count() > 0) top -= spacing();
    return top - rect.top() + contentsMargins().bottom();
}

int TileGridLayout::heightForWidth(int width) const
{
    return arrange(QRect(0, 0, width, 0), false);
}

QSize TileGridLayout::minimumSize() const
{
    int tallest = 0;
    for (const QLayoutItem* item : m_items)
        tallest = std::max(tallest, item->minimumSize().height());
    const QMargins margins = contentsMargins();
    return QSize(widestMinimum(), tallest).grownBy(margins);
}

// All tiles in one row, as wide as they would like to be.
QSize TileGridLayout::sizeHint() const
{
    int width = 0;
    for (const QLayoutItem* item : m_items) width += item->sizeHint().width() + spacing();
    width = std::max(0, width - spacing()) + contentsMargins().left() + contentsMargins().right();
    return QSize(width, heightForWidth(width));
}

void TileGridLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

}  // namespace grainlink
