#include "display/ui/table_window.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QMenuBar>
#include <QTableView>

#include <algorithm>
#include <cmath>

#include "display/ui/history_chart.h"
#include "display/ui/history_table_model.h"
#include "platform/clock.h"
#include "state/unit_state.h"
#include "widgets/captioned_frame.h"
#include "widgets/role_colours.h"
#include "widgets/twips.h"
#include "widgets/window_frame.h"

namespace grainlink {
namespace {

// Twips, as the layout rules are given.
constexpr int kFrameLeft = 200;
constexpr int kFrameTop = 50;
constexpr int kFrameWidthAllowance = 400;
constexpr int kFrameHeightAllowance = 800;
constexpr int kChartLeft = 50;
constexpr int kChartTop = 200;
constexpr double kChartShare = 0.7;
constexpr int kGraphControlWidth = 4815;
constexpr int kGraphControlHeight = 615;
constexpr int kBoxLefts[kHistorySeries] = {240, 1320, 2400, 3600};
constexpr int kBoxTop = 240;
constexpr int kBoxWidth = 1035;
constexpr int kBoxHeight = 285;
constexpr int kTimeColumnWidening = 50;
constexpr int kGridWidthAllowance = 450;
constexpr int kFontPixels = 11;
constexpr int kCellPadding = 12;  // pixels around a cell's text

int PixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

// One width for every column that fits the widest heading of any view and the widest text a
// cell of its kind takes, so no heading or value is ever cut and a view change moves nothing.
int ColumnWidth(const QTableView& grid)
{
    const QFontMetrics cell = grid.fontMetrics();
    const QFontMetrics heading = grid.horizontalHeader()->fontMetrics();
    int widest = std::max({cell.horizontalAdvance(QStringLiteral("-88888888.00")),
                           cell.horizontalAdvance(ShortDateText(QDate(2000, 12, 28))),
                           cell.horizontalAdvance(TimeText(QTime(23, 58, 58)))});
    for (HistoryView view : {HistoryView::Counts, HistoryView::Codes, HistoryView::Diagnostics})
        for (int column = 0; column < kHistoryColumns; ++column)
            widest = std::max(widest, heading.horizontalAdvance(ColumnHeading(view, column)));
    return widest + kCellPadding;
}

QAction* AddCommand(QMenu* menu, const char* name, const QString& text)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

}  // namespace

TableWindow::TableWindow(HistoryStore& history, const SharedState& state, int unit,
                         QWidget* parent)
    : QMainWindow(parent), m_history(history), m_state(state), m_unit(unit)
{
    setObjectName(QStringLiteral("frm_table%1").arg(unit));
    setWindowTitle(TableWindowCaption(state.HardwareName, unit, state.UnitName[unit],
                                      history.tableView(unit), CaptionMoment::Creation));
    QFont font = this->font();
    font.setPixelSize(kFontPixels);
    setFont(font);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    const QColor captionColour = ColoursFor(ColourRole::Caption).text;
    m_frameChart = new CaptionedFrame(history.frameCaption(unit), captionColour, client);
    m_frameChart->setObjectName(QStringLiteral("frame_chart"));
    m_chart = new HistoryChart(m_frameChart);
    m_graphControl =
        new CaptionedFrame(QStringLiteral("Graph control"), captionColour, m_frameChart);
    m_graphControl->setObjectName(QStringLiteral("frame_graph_control"));
    SetTwipsGeometry(m_graphControl, QRect(0, 0, kGraphControlWidth, kGraphControlHeight));
    BuildSeriesBoxes();

    m_grid = new QTableView(m_frameChart);
    m_grid->setObjectName(QStringLiteral("grd_data"));
    m_grid->setAccessibleName(m_grid->objectName());
    m_model = new HistoryTableModel(history, unit, m_grid);
    m_grid->setModel(m_model);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 4);
    // The columns share whatever width the grid has beyond their own, the Time column keeping
    // its extra width; narrower than that, the grid scrolls sideways.
    QHeaderView* header = m_grid->horizontalHeader();
    header->setDefaultSectionSize(ColumnWidth(*m_grid));
    header->setMinimumSectionSize(header->defaultSectionSize());
    header->setSectionResizeMode(QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::Interactive);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setWordWrap(false);

    BuildMenus();
    KeepOuterMinimum();
    resize(TwipsToPixels(kClientWidthTwips),
           TwipsToPixels(kClientHeightTwips) + menuBar()->sizeHint().height());

    connect(&history, &HistoryStore::viewConfigured, this, [this](int configured) {
        if (configured == m_unit) OnViewConfigured();
    });
    connect(&history, &HistoryStore::refreshed, this, [this](int refreshed) {
        if (refreshed == m_unit) OnRefreshed();
    });
    connect(&history, &HistoryStore::frameCaptionChanged, this,
            [this](int stamped, const QString& caption) {
                if (stamped == m_unit) m_frameChart->setCaption(caption);
            });
    // A window made after start-up shows what start-up set up.
    if (history.configuredRows(unit) > 0) {
        OnViewConfigured();
        OnRefreshed();
    }
    ApplyLayout();
}

void TableWindow::BuildSeriesBoxes()
{
    for (int k = 0; k < kHistorySeries; ++k) {
        auto* box = new QCheckBox(SeriesBoxCaption(m_history.tableView(m_unit), k + 1),
                                  m_graphControl);
        box->setObjectName(QStringLiteral("chk_graph_control(%1)").arg(k));
        box->setChecked(true);
        SetTwipsGeometry(box, QRect(kBoxLefts[k], kBoxTop, kBoxWidth, kBoxHeight));
        connect(box, &QCheckBox::clicked, this, [this] { m_history.RefreshHistory(m_unit); });
        m_seriesBoxes[k] = box;
    }
}

void TableWindow::BuildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnu_file"));
    connect(AddCommand(file, "mnu_close", QStringLiteral("&Close")), &QAction::triggered, this,
            &QWidget::hide);
    connect(AddCommand(file, "mnu_all", QStringLiteral("Close &All")), &QAction::triggered, this,
            &TableWindow::closeAllRequested);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnu_view"));
    const struct {
        const char* name;
        const char* text;
        HistoryView view;
    } commands[] = {{"mnu_counts", "&Counts", HistoryView::Counts},
                    {"mnu_codes", "C&odes", HistoryView::Codes},
                    {"mnu_diagnostics", "&Diagnostics", HistoryView::Diagnostics}};
    for (const auto& command : commands)
        connect(AddCommand(view, command.name, QString::fromLatin1(command.text)),
                &QAction::triggered, this,
                [this, chosen = command.view] { ViewCommand(chosen); });

    QAction* tile = menuBar()->addAction(QStringLiteral("&Tile"));
    tile->setObjectName(QStringLiteral("mnu_tile"));
    connect(tile, &QAction::triggered, this, &TableWindow::tileRequested);
}

void TableWindow::ViewCommand(HistoryView view)
{
    m_history.setTableView(m_unit, view);
    setWindowTitle(TableWindowCaption(m_state.HardwareName, m_unit, m_state.UnitName[m_unit],
                                      view, CaptionMoment::ViewCommand));
    m_history.ConfigureView(m_unit, m_state.BufferSize);
    m_history.RefreshHistory(m_unit);
}

void TableWindow::OnViewConfigured()
{
    const HistoryView view = m_history.tableView(m_unit);
    m_chart->Configure(view, m_history.configuredRows(m_unit));
    for (int k = 0; k < kHistorySeries; ++k)
        m_seriesBoxes[k]->setText(SeriesBoxCaption(view, k + 1));

    m_model->Configure();
    if (!m_history.timeColumnSized(m_unit)) {
        m_grid->setColumnWidth(
            1, TwipsToPixels(PixelsToTwips(m_grid->columnWidth(1)) + kTimeColumnWidening));
        m_history.setTimeColumnSized(m_unit, true);
    }
    m_gridWidthTwips =
        kHistoryColumns * PixelsToTwips(m_grid->horizontalHeader()->defaultSectionSize()) +
        kGridWidthAllowance;
    ApplyLayout();
    m_grid->scrollToBottom();  // the newest rows are at the bottom
}

void TableWindow::OnRefreshed()
{
    m_model->Refresh();
    std::array<bool, kHistorySeries> plotted{};
    for (int k = 0; k < kHistorySeries; ++k) plotted[k] = m_seriesBoxes[k]->isChecked();
    m_chart->Refresh(m_history, m_unit, m_history.tableView(m_unit), plotted);
}

void TableWindow::KeepOuterMinimum()
{
    const QSize outer(TwipsToPixels(kMinimumTwips), TwipsToPixels(kMinimumTwips));
    setMinimumSize(outer.shrunkBy(WindowFrame(this)));
}

void TableWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    KeepOuterMinimum();
}

void TableWindow::resizeEvent(QResizeEvent* event)
{
    KeepOuterMinimum();
    QMainWindow::resizeEvent(event);
    ApplyLayout();
}

void TableWindow::ApplyLayout()
{
    // The window never gets below its minimum size, so every height here stays positive.
    const int width = PixelsToTwips(this->width());
    const int height = PixelsToTwips(this->height());
    const int frameWidth = width - kFrameWidthAllowance;
    const int frameHeight = height - kFrameHeightAllowance;
    SetTwipsGeometry(m_frameChart, QRect(kFrameLeft, kFrameTop, frameWidth, frameHeight));

    const int chartHeight = static_cast<int>(std::lround(kChartShare * frameHeight));
    SetTwipsGeometry(m_chart, QRect(kChartLeft, kChartTop, frameWidth - 2 * kChartLeft,
                                    chartHeight));
    const int controlTop = kChartTop + chartHeight + 10;
    SetTwipsGeometry(m_graphControl, QRect((frameWidth - kGraphControlWidth) / 2, controlTop,
                                           kGraphControlWidth, kGraphControlHeight));
    // The grid grows with the window beyond its design size, keeping its margins. A grid wider
    // than its frame would lose its outer columns, headings and all; within the frame it scrolls
    // sideways instead.
    const int designFrameWidth = kClientWidthTwips - kFrameWidthAllowance;
    const int gridWidth = std::min(m_gridWidthTwips + std::max(0, frameWidth - designFrameWidth),
                                   frameWidth - 2 * kChartLeft);
    const int gridTop = controlTop + kGraphControlHeight + 50;
    SetTwipsGeometry(m_grid, QRect((frameWidth - gridWidth) / 2, gridTop, gridWidth,
                                   frameHeight - gridTop - 100));
}

}  // namespace grainlink
