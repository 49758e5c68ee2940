#pragma once

#include <QObject>

class QSocketNotifier;

namespace grainlink {

// Turns SIGINT and SIGTERM into a Qt signal delivered by the event loop, so that shutdown runs
// as ordinary code (closing ports, saying goodbye to the broker) instead of inside a handler.
// One instance per process.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested(int signalNumber);

private:
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace grainlink
