#pragma once

#include "acquisition/unit_events.h"
#include "platform/clock.h"
#include "platform/error_notice.h"
#include "platform/message_box.h"

#include <QString>
#include <QStringList>

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

class CountingNotice final : public ErrorNotice {
public:
    void showPortError(const QString& /*detail*/) override { ++shown; }
    int shown = 0;
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

// Records what the cycle hands on, as "DecodeRecord(1)" and so on, in order, and passes each
// call on to `forwardTo` when one is set.
class RecordingUnitEvents final : public UnitEvents {
public:
    void DecodeRecord(int unit) override
    {
        record(QStringLiteral("DecodeRecord(%1)").arg(unit), &UnitEvents::DecodeRecord, unit);
    }
    void MarkUnitInvalid(int unit) override
    {
        record(QStringLiteral("MarkUnitInvalid(%1)").arg(unit), &UnitEvents::MarkUnitInvalid, unit);
    }
    void MakeDemoRecord(int unit) override
    {
        record(QStringLiteral("MakeDemoRecord(%1)").arg(unit), &UnitEvents::MakeDemoRecord, unit);
    }
    void LogData(int unit) override
    {
        record(QStringLiteral("LogData(%1)").arg(unit), &UnitEvents::LogData, unit);
    }
    QStringList calls;
    UnitEvents* forwardTo = nullptr;

private:
    void record(const QString& call, void (UnitEvents::*handOn)(int), int unit)
    {
        calls << call;
        if (forwardTo) (forwardTo->*handOn)(unit);
    }
};

}  // namespace grainlink::test
