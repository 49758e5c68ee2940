#pragma once

#include "platform/clock.h"
#include "platform/dde_source.h"
#include "platform/error_notice.h"
#include "platform/message_box.h"
#include "platform/retained_messages.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <map>
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

// Drops every item.
struct NoDde final : DdeSource {
    void setItem(const QString&, const QString&, const QString&) override {}
};

// Keeps the latest payload of every retained topic.
struct RecordingRetained final : RetainedMessages {
    void setRetained(const QString& topic, const QByteArray& payload) override
    {
        latest[topic] = payload;
    }
    QByteArray at(const QString& topic) const
    {
        return latest.contains(topic) ? latest.at(topic) : "<none>";
    }
    // The topics under `prefix` whose latest payload is empty (cleared), or not.
    int count(const QString& prefix, bool empty) const
    {
        return static_cast<int>(std::count_if(latest.begin(), latest.end(), [&](const auto& m) {
            return m.first.startsWith(prefix) && m.second.isEmpty() == empty;
        }));
    }
    std::map<QString, QByteArray> latest;
};

}  // namespace grainlink::test
