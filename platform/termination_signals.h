#pragma once

#include <QObject>

class QSocketNotifier;

namespace grainlink {

// Turns SIGINT, SIGTERM and SIGHUP (a closed terminal, a service manager's reload) into a Qt
// signal delivered by the event loop, so that shutdown runs as ordinary code (closing ports,
// saying goodbye to the broker) instead of inside a handler. SIGUSR1 and SIGUSR2 mean nothing
// to the server and are ignored rather than killing it; SIGQUIT keeps its core dump. One
// instance per process.
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
