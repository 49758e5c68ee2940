// The overview window as a view of the plant model: tiles that follow a unit's states, the event
// list with its filter, and every text whole on a 1280 x 800 screen.
#include "display/ui/overview_window.h"
#include "config/access_levels.h"
#include "display/ui/event_list_panel.h"
#include "display/ui/event_table_model.h"
#include "display/ui/tile_grid_layout.h"
#include "plant/plant_model.h"
#include "tests/support/test_doubles.h"
#include "widgets/role_colours.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>

#include <gtest/gtest.h>

// Texts as texts in the failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace grainlink::test {
namespace {

// Four units served, named by their numbers, the server started; the window is made over them.
class OverviewWindowTest : public ::testing::Test {
protected:
    OverviewWindowTest()
    {
        state.NumUnits = 4;
        for (int unit = 1; unit <= 4; ++unit) {
            state.UnitEnabled[unit] = true;
            state.UnitName[unit] = QString::number(unit);
            state.UnitPort[unit] = unit;
        }
        model.serverStarted("Version 2.0");
    }

    // A record from the instrument with these flags set (a fault when any is).
    void receive(int unit, const std::vector<Item>& set = {})
    {
        ItemTable& table = items[unit];
        for (Item flag : kAlarmFlags)
            table.setText(flag, std::find(set.begin(), set.end(), flag) != set.end() ? "1" : "0");
        table.setText(Item::status, set.size() > 0 ? "Fault" : "OK");
        table.setText(Item::lbl_error, set.size() > 0 ? "160" : "0");
        table.setText(Item::ISOCode4um, "16.5");
        table.setText(Item::Counts4um, "513");
        table.setText(Item::Temperature, "21");
        table.setText(Item::FlowIndex, "-1");
        ++state.UnitData[unit].RxCount;
        model.recordStored(unit, false);
    }

    QWidget* tile(int unit) { return window.findChild<QWidget*>(QString("unit%1").arg(unit)); }
    QString text(int unit, const QString& name)
    {
        const QLabel* label = tile(unit)->findChild<QLabel*>(name);
        EXPECT_EQ(label->accessibleDescription(), label->text()) << name.toStdString();
        return label->text();
    }
    // The tile's state word, and whether it reads on its band.
    QString stateShown(int unit)
    {
        const QLabel* word = tile(unit)->findChild<QLabel*>("lbl_state");
        const QPalette band = word->parentWidget()->palette();
        EXPECT_GE(ContrastRatio(band.color(QPalette::Window), band.color(QPalette::WindowText)),
                  kTextContrast)
            << word->text().toStdString();
        return word->text();
    }
    // The event list's rows as "Unit | Event | Detail", newest first.
    QStringList rows()
    {
        QCoreApplication::processEvents();  // the rows follow the log after the burst
        const QAbstractItemModel* list = window.events().table()->model();
        QStringList texts;
        for (int row = 0; row < list->rowCount(); ++row) {
            QStringList cells;
            for (int column = 1; column < list->columnCount(); ++column)
                cells << list->index(row, column).data().toString();
            texts << cells.join(" | ");
        }
        return texts;
    }

    SharedState state;
    ItemTables items;
    FakeClock clock;
    PlantModel model{state, items, clock};
    OverviewWindow window{model};
};

TEST_F(OverviewWindowTest, AUnitGoesLiveAlarmStalePortLostAndLiveAgainOnItsTileAndInTheList)
{
    window.show();
    EXPECT_EQ(window.windowTitle(), "Overview");
    const QAbstractItemModel* list = window.events().table()->model();
    QStringList headings;
    for (int column = 0; column < list->columnCount(); ++column)
        headings << list->headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(headings, (QStringList{"Time", "Unit", "Event", "Detail"}));
    EXPECT_EQ(rows(), (QStringList{" | Server started | Version 2.0"}));
    EXPECT_EQ(list->index(0, 0).data().toString(), clock.text());

    QComboBox* filter = window.events().filter();
    filter->setCurrentIndex(filter->findText("Unit 2"));
    EXPECT_EQ(stateShown(2), "Stale");
    EXPECT_EQ(text(2, "lbl_last_record"), "none");
    receive(2);
    EXPECT_EQ(stateShown(2), "Live");
    EXPECT_EQ(std::tuple(text(2, "ISOCode4um"), text(2, "Counts4um"), text(2, "Temperature")),
              std::tuple("16.5", "513", "21 °C"));
    EXPECT_EQ(std::tuple(text(2, "FlowIndex"), text(2, "ISOCode6um")),
              std::tuple("no data", "no data"))
        << "-1 and empty are no data";
    clock.advanceSeconds(12);
    model.tick();
    EXPECT_EQ(text(2, "lbl_age"), "12 s ago");
    EXPECT_TRUE(tile(2)->accessibleDescription().startsWith(
        "Unit 2: Live; ISO codes 16.5, no data, no data, no data; counts per mL 513"));

    receive(2, {Item::TempHigh, Item::Flow});
    EXPECT_EQ(stateShown(2), "Alarm");
    EXPECT_EQ(text(2, "lbl_alarms"), "TempHigh, Flow");
    EXPECT_EQ(text(2, "lbl_age"), "0 s ago");
    model.unitSilent(2, 600);
    model.valuesInvalid(2);
    EXPECT_EQ(stateShown(2), "Stale");
    EXPECT_EQ(text(2, "lbl_alarms"), "");
    for (const char* name : {"ISOCode4um", "Counts4um", "Temperature"})
        EXPECT_EQ(text(2, name), "no data") << name;
    model.portUnavailable(2, "cannot open /dev/ttyUSB1: No such file or directory");
    EXPECT_EQ(stateShown(2), "Port lost");
    model.portOpened(2);
    receive(2);
    EXPECT_EQ(stateShown(2), "Live");
    EXPECT_EQ(text(2, "lbl_rx_count"), "3");
    EXPECT_EQ(tile(2)->accessibleName(), "Unit 2: Live");
    EXPECT_EQ(stateShown(1), "Stale") << "the other units stay as they were";

    EXPECT_EQ(rows(),
              (QStringList{
                  "Unit 2 | Status OK | ",
                  "Unit 2 | Alarm cleared | Flow",
                  "Unit 2 | Alarm cleared | TempHigh",
                  "Unit 2 | Live | records again",
                  "Unit 2 | Port back | port 2",
                  "Unit 2 | Port lost | cannot open /dev/ttyUSB1: No such file or directory",
                  "Unit 2 | Stale | no record for 600 s",
                  "Unit 2 | Status Fault | error code 160",
                  "Unit 2 | Alarm set | Flow",
                  "Unit 2 | Alarm set | TempHigh",
              }));
    filter->setCurrentIndex(filter->findText("Server"));
    EXPECT_EQ(rows(), (QStringList{" | Server started | Version 2.0"}));

    // Fewer units: the tile and its filter entry go; the filter falls back to all units.
    filter->setCurrentIndex(filter->findText("Unit 4"));
    state.NumUnits = 3;
    state.UnitName[1] = "Line A";
    model.settingsChanged();
    EXPECT_EQ(tile(4), nullptr);
    EXPECT_EQ(text(1, "lbl_unit"), "Unit 1 (Line A)");
    EXPECT_EQ(filter->currentText(), "All units");
    EXPECT_EQ(filter->itemText(2), "Unit 1 (Line A)");
    EXPECT_EQ(rows().size(), model.events().size());

    // The status line follows the broker, the log-on and the settings.
    const auto statusLine = [&] {
        QStringList texts;
        for (const char* name : {"lbl_broker", "lbl_access", "lbl_data_log", "lbl_demo_mode"})
            texts << window.findChild<QLabel*>(name)->text();
        return texts.join(" | ");
    };
    EXPECT_EQ(statusLine(), "Broker: connecting | Access: logged off | Data log: off | Demo mode: off");
    model.brokerChanged(true, "connected to broker:1883");
    state.LoggedIn = true;
    state.AccessLevel = kServiceLevel;
    state.LogEnabled = true;
    state.DemoMode = true;
    model.settingsChanged();
    EXPECT_EQ(statusLine(),
              "Broker: connected to broker:1883 | Access: service | Data log: on | Demo mode: on");
    model.brokerChanged(false, "connection refused");
    state.LoggedIn = false;
    model.settingsChanged();
    EXPECT_EQ(statusLine(),
              "Broker: connection refused, retrying | Access: logged off | Data log: on | Demo "
              "mode: on");
}

// The widest value of every text on four tiles and a 79-character name: the window fits the
// 1280 x 800 screen, the tiles stand in a balanced grid, and no label is narrower or lower
// than its text needs.
TEST_F(OverviewWindowTest, TheWidestValuesAreShownWholeOnA1280By800Screen)
{
    for (int unit = 1; unit <= 4; ++unit) {
        state.UnitName[unit] = QString(79, QChar(u'W'));
        receive(unit, {kAlarmFlags.begin(), kAlarmFlags.end()});
        state.UnitData[unit].RxCount = 2147483647;
        for (Item item : {Item::Counts4um, Item::Counts6um, Item::Counts14um, Item::Counts21um})
            items[unit].setText(item, "65535000");
        for (Item item : {Item::ISOCode4um, Item::ISOCode6um, Item::ISOCode14um, Item::ISOCode21um})
            items[unit].setText(item, "409.5");
        items[unit].setText(Item::Temperature, "-127");
        items[unit].setText(Item::FlowIndex, "-2147483648");
        model.recordStored(unit, false);
    }
    clock.advanceSeconds(47 * 3600);
    model.tick();
    window.show();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window.frameGeometry()))
        << window.frameGeometry().width() << " x " << window.frameGeometry().height();
    EXPECT_EQ(window.tileGrid().columnsFor(window.width()), 2) << "2 x 2, never 3 + 1";

    for (int unit = 1; unit <= 4; ++unit) {
        EXPECT_EQ(text(unit, "lbl_age"), "47 h ago");
        for (const QLabel* label : tile(unit)->findChildren<QLabel*>()) {
            if (!label->isVisibleTo(tile(unit))) continue;
            SCOPED_TRACE(label->text().toStdString());
            if (label->wordWrap())
                EXPECT_GE(label->height(), label->heightForWidth(label->width()));
            else
                EXPECT_GE(label->width(), label->sizeHint().width());
            EXPECT_TRUE(tile(unit)->rect().contains(
                QRect(label->mapTo(tile(unit), QPoint(0, 0)), label->size())));
        }
    }
}

// The list follows a bounded log: a burst of events comes in as one insertion at the top, the
// events the log drops leave at the bottom, and the rows shown are never reset.
TEST(EventTableModelTest, FollowsABoundedLogAtTheTopAndTheBottomWithoutAReset)
{
    EventLog log(5);
    const auto add = [&log](int unit, const char* event) {
        log.add(PlantEvent{.time = QDateTime::currentDateTime(), .unit = unit, .event = event});
    };
    add(1, "a");
    add(2, "b");
    EventTableModel list(log);
    list.setUnitFilter(1);
    EXPECT_EQ(list.rowCount(), 1);
    QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&list, &QAbstractItemModel::modelReset);
    for (const char* event : {"c", "d", "e"}) add(event[0] % 2 == 0 ? 2 : 1, event);
    EXPECT_EQ(list.rowCount(), 1) << "nothing before the burst is over";
    QCoreApplication::processEvents();
    EXPECT_EQ(std::tuple(inserted.size(), reset.size()), std::tuple(1, 0));
    const auto shown = [&list] {
        QString events;
        for (int row = 0; row < list.rowCount(); ++row) events += list.eventAt(row)->event;
        return events;
    };
    EXPECT_EQ(shown(), "eca");
    add(2, "g");
    add(2, "h");  // "a" and "b" are dropped
    list.refresh();
    EXPECT_EQ(shown(), "ec");
    EXPECT_EQ(list.index(1, EventTableModel::UnitColumn).data().toString(), "Unit 1");
    EXPECT_EQ(list.eventAt(2), nullptr);
}

}  // namespace
}  // namespace grainlink::test
