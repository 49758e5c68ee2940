#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <memory>

namespace grainlink::sim {

// The simulator's end of a serial line: a new pseudo-terminal whose other end the receiver
// opens, or an existing device. Writing never waits: what the line cannot take at once is
// dropped with a warning, as a real instrument's output would be lost on a stalled line.
//
// For a pseudo-terminal the simulator keeps the other end open itself, so the line survives
// the receiver closing and reopening it; the pseudo-terminal vanishes with this object. Holding
// that end open also makes the pseudo-terminal keep what nobody reads, which a serial line does
// not: output left unread for a few seconds is discarded before the next write, so a receiver
// that opens the line late does not get a burst of old records.
// Failures to open throw std::runtime_error.
class SerialLine {
public:
    static std::unique_ptr<SerialLine> OpenPseudoTerminal();
    static std::unique_ptr<SerialLine> OpenDevice(const QString& path);
    ~SerialLine();

    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    // The device path the receiver opens.
    const QString& path() const { return m_path; }

    void send(const QByteArray& bytes);

    // Characters written but not yet taken by the receiver (0 when that cannot be known).
    int unreadCount() const;

private:
    SerialLine(int fd, int peerFd, QString path);
    void discardStaleOutput();

    int m_fd = -1;      // pseudo-terminal master, or the device
    int m_peerFd = -1;  // the pseudo-terminal's receiving end, held open; -1 for a device
    QString m_path;
    int m_unreadAfterWrite = 0;
    QElapsedTimer m_pendingSince;  // since the oldest unread character was written
    bool m_discarding = false;
};

}  // namespace grainlink::sim
