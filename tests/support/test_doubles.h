#pragma once

#include "platform/clock.h"
#include "platform/error_notice.h"
#include "platform/message_box.h"

#include <QString>

#include <vector>

namespace grainlink::test {

// A clock that stands still until the test moves it.
class FakeClock final : public Clock {
public:
    QDateTime now() const override { return m_now; }
    void advanceSeconds(int seconds) { m_now = m_now.addSecs(seconds); }
    QString text() const { return GeneralDateText(m_now); }

private:
    QDateTime m_now{QDate(2026, 12, 6), QTime(14, 3, 5)};
};

// Counts the port error notices and keeps the last report.
class CountingNotice final : public ErrorNotice {
public:
    void showPortError(const PortErrorReport& report) override
    {
        ++shown;
        last = report;
    }
    void portRecovered(int unit, const QDateTime& /*when*/) override { recovered.push_back(unit); }
    int shown = 0;
    PortErrorReport last;
    std::vector<int> recovered;
};

class RecordingMessageBox final : public MessageBox {
public:
    struct Shown {
        QString title;
        QString text;
        MessageIcon icon;
    };
    void show(const QString& title, const QString& text, MessageIcon icon) override
    {
        messages.push_back({title, text, icon});
    }
    std::vector<Shown> messages;
};

}  // namespace grainlink::test
