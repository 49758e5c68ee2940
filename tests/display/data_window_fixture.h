#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <memory>

#include "acquisition/unit_state.h"
#include "config/config_file.h"
#include "display/item_table.h"
#include "display/ui/data_windows.h"
#include "display/ui/flow_factor_box.h"
#include "tests/display/memory_profile_file.h"
#include "tests/support/test_doubles.h"

namespace grainlink::test {

// The four data windows over fresh item tables, an in-memory INI file and recorded messages.
class DataWindowTest : public ::testing::Test {
protected:
    DataWindowTest()
    {
        state.ProductName = QStringLiteral("VELMO QS2600 DDE Server");
        state.HardwareName = QStringLiteral("QS2600");
        state.NumUnits = 4;
        state.AccessLevel = 1;
    }

    DataWindows& windows()
    {
        if (!m_windows) m_windows = std::make_unique<DataWindows>(items, state, config, messages);
        return *m_windows;
    }
    DataWindow& window(int unit) { return windows().window(unit); }
    QLineEdit* box(int unit)
    {
        return window(unit).findChild<QLineEdit*>(QStringLiteral("txt_flow_factor"));
    }
    QAction* command(int unit, const char* name)
    {
        return window(unit).findChild<QAction*>(QString::fromLatin1(name));
    }
    QLabel* value(int unit, Item item) { return window(unit).findChild<QLabel*>(ItemName(item)); }
    // Activation as the window system delivers it, without depending on real focus.
    void activate(int unit)
    {
        QEvent activation(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&window(unit), &activation);
    }
    void type(int unit, const char* keys)
    {
        QTest::keyClicks(box(unit), QString::fromLatin1(keys));
    }
    void press(int unit, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(box(unit), key, modifiers);
    }
    void storeFactor(int unit, const QByteArray& text)
    {
        profile.write("Options", "FlowFactor" + QByteArray::number(unit), text);
    }
    QByteArray storedFactor(int unit)
    {
        return profile.value("Options", "FlowFactor" + QByteArray::number(unit));
    }
    bool editingColours(int unit)
    {
        const QPalette palette = box(unit)->palette();
        return palette.color(QPalette::Base) == QColor(Qt::blue) &&
               palette.color(QPalette::Text) == QColor(Qt::white);
    }
    bool savedColours(int unit)
    {
        const QPalette palette = box(unit)->palette();
        return palette.color(QPalette::Base) == QColor(Qt::white) &&
               palette.color(QPalette::Text) == QColor(Qt::black);
    }

    SharedState state;
    ItemTables items;
    MemoryProfileFile profile;
    ConfigFile config{profile};
    RecordingMessageBox messages;

private:
    std::unique_ptr<DataWindows> m_windows;
};

}  // namespace grainlink::test
