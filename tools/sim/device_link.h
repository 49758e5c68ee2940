#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace grainlink::sim {

// A symbolic link that gives the simulator's pseudo-terminal a fixed name, so the receiver's
// configuration can stay the same from run to run. While the simulator runs the link is put
// back if someone removes or redirects it; at exit it is removed if it still points at the
// line. It only ever replaces a symbolic link, never a file or a device.
class DeviceLink : public QObject {
    Q_OBJECT

public:
    // Throws std::runtime_error when the link cannot be made.
    DeviceLink(const QString& linkPath, const QString& target, QObject* parent = nullptr);
    ~DeviceLink() override;

private:
    bool pointsAtTarget() const;
    void place();    // throws
    void restore();  // on the timer; warns instead of throwing

    QByteArray m_link;
    QByteArray m_target;
    QTimer m_watch;
};

}  // namespace grainlink::sim
