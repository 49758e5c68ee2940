#pragma once

#include <QLayout>
#include <QList>

namespace grainlink {

// Tiles in a grid that reflows with the width it is given: as many equal columns as the widest
// tile's minimum allows, balanced over the rows (four tiles go 4 x 1, 2 x 2 or 1 x 4, never 3 + 1),
// each row as tall as its tallest tile at that width. Its minimum is one tile, and it tells its
// height for a width, so that a scroll area around it scrolls only what no longer fits.
class TileGridLayout : public QLayout {
    Q_OBJECT

public:
    explicit TileGridLayout(QWidget* parent = nullptr);
    ~TileGridLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;

    QSize sizeHint() const override;
    QSize minimumSize() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    Qt::Orientations expandingDirections() const override { return {}; }
    void setGeometry(const QRect& rect) override;

    // The columns the tiles take in a width (without the margins).
    int columnsFor(int width) const;

private:
    // Lays the tiles out in `rect` (or only measures when `place` is false); returns the height.
    int arrange(const QRect& rect, bool place) const;
    int widestMinimum() const;

    QList<QLayoutItem*> m_items;
};

}  // namespace grainlink
