#pragma once

// The programs and the disk of the soak run (bench/soak.cpp): simulated instruments, the headless
// server and a small file system that can be filled up. Each keeps what it saw, stamped with the
// time it saw it, for the accounting at the end.

#include "bench/process_figures.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

#include <csignal>
#include <vector>

namespace grainlink::soak {

inline qint64 NowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

// One simulated instrument on a pseudo-terminal behind a fixed link name. Unplugging stops the
// simulator, which removes the link; plugging in starts a new one with a seed of its own, so that
// its records differ from the ones before.
class SimulatedUnit {
public:
    struct Sent {
        QByteArray record;
        qint64 atMs;
    };

    SimulatedUnit(int unit, QString link, int intervalMs)
        : m_unit(unit), m_link(std::move(link)), m_intervalMs(intervalMs)
    {
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { read(); });
    }
    ~SimulatedUnit() { unplug(); }

    void plugIn()
    {
        ++m_starts;
        m_process.start(QStringLiteral(GRAINLINK_SIM_PATH),
                        {"--link", m_link, "--unit", QString::number(m_unit), "--interval",
                         QString::number(m_intervalMs / 1000.0), "--seed",
                         QString::number(1000 * m_unit + m_starts)});
        m_process.waitForStarted();
        m_firstLine = true;
    }
    void unplug()
    {
        if (m_process.state() == QProcess::NotRunning) return;
        m_unpluggedAtMs.push_back(NowMs());
        m_process.terminate();
        ::kill(static_cast<pid_t>(m_process.processId()), SIGCONT);  // when paused
        m_process.waitForFinished(5000);
        read();
    }
    // Holds the line without closing it: nothing more is sent, what was sent can still be read.
    void pause() { ::kill(static_cast<pid_t>(m_process.processId()), SIGSTOP); }

    const std::vector<Sent>& sent() const { return m_sent; }
    const std::vector<qint64>& unpluggedAtMs() const { return m_unpluggedAtMs; }

private:
    // The first line is the pseudo-terminal's path, then one line per record: "<slot> <record>".
    void read()
    {
        while (m_process.canReadLine()) {
            const QByteArray line = m_process.readLine().trimmed();
            if (std::exchange(m_firstLine, false)) continue;
            const qsizetype blank = line.indexOf(' ');
            if (blank > 0) m_sent.push_back({line.mid(blank + 1), NowMs()});
        }
    }

    int m_unit;
    QString m_link;
    int m_intervalMs;
    int m_starts = 0;
    bool m_firstLine = true;
    QProcess m_process;
    std::vector<Sent> m_sent;
    std::vector<qint64> m_unpluggedAtMs;
};

// The headless server. Its panel lines tell when a unit framed a record; its standard error when
// the broker connection came back and what went wrong.
class ServerUnderSoak {
public:
    ServerUnderSoak(const QString& configDir, const QString& workDir)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("GRAINLINK_CONFIG_DIR"), configDir);
        env.remove(QStringLiteral("DISPLAY"));
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(workDir);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { read(); });
        QObject::connect(&m_process, &QProcess::readyReadStandardError, [this] { readErrors(); });
    }
    // Stopped as the service is when the run ends early, rather than killed.
    ~ServerUnderSoak()
    {
        if (m_process.state() != QProcess::NotRunning) stop();
    }

    bool start()
    {
        m_process.start(QStringLiteral(GRAINLINK_SERVER_PATH), {"--headless"});
        return m_process.waitForStarted();
    }
    // SIGTERM, as the service is stopped; true on the clean exit with status 0.
    bool stop()
    {
        m_process.terminate();
        return m_process.waitForFinished(10000) && m_process.exitStatus() == QProcess::NormalExit &&
               m_process.exitCode() == 0;
    }

    // Resident memory in KiB and open file descriptors, from /proc.
    std::pair<long, long> footprint() const
    {
        const QString pid = QString::number(m_process.processId());
        const long fds = static_cast<long>(QDir(QStringLiteral("/proc/%1/fd").arg(pid))
                                               .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                                               .size());
        return {ResidentKiB(pid), fds};
    }

    // What each unit framed (units 1..4), when.
    struct Framed {
        QByteArray record;  // without its line end
        qint64 atMs;
    };
    std::vector<Framed> framed[5];
    std::vector<qint64> brokerConnectedAtMs;
    QStringList problems;  // warnings and errors on standard error

private:
    // A framed message is shown as "lbl_rx(<unit>) = <message>", its line end written "\r\n";
    // the count that follows at once is "lbl_rx_cnt(<unit>) = <n>".
    void read()
    {
        static const QRegularExpression shown(
            QStringLiteral("^lbl_rx(_cnt)?\\(([1-4])\\) = (.*)$"));
        while (m_process.canReadLine()) {
            const QRegularExpressionMatch match =
                shown.match(QString::fromUtf8(m_process.readLine()).chopped(1));
            if (!match.hasMatch()) continue;
            const int unit = match.captured(2).toInt();
            if (match.captured(1).isEmpty())
                m_message[unit] = match.captured(3).section(QStringLiteral("\\r"), 0, 0).toLatin1();
            else
                framed[unit].push_back({m_message[unit], NowMs()});
        }
    }
    void readErrors()
    {
        for (const QByteArray& line : m_process.readAllStandardError().split('\n')) {
            if (line.startsWith("MQTT: connected"))
                brokerConnectedAtMs.push_back(NowMs());
            else if (!line.trimmed().isEmpty())
                problems << QString::fromUtf8(line);
        }
    }

    QProcess m_process;
    QByteArray m_message[5];
};

// A small tmpfs for the data logs that can be filled up, as a full disk. As on any disk, a file
// may still grow into the rest of its last block (here a page) while the disk is full. Needs the
// right to mount (root); without it the full disk is left out of the run.
class SmallDisk {
public:
    explicit SmallDisk(QString path) : m_path(std::move(path))
    {
        QDir().mkpath(m_path);
        m_mounted = QProcess::execute(QStringLiteral("mount"),
                                      {"-t", "tmpfs", "-o", "size=4m", "soak", m_path}) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted) QProcess::execute(QStringLiteral("umount"), {m_path});
    }
    bool mounted() const { return m_mounted; }

    // Fills the disk with one file, so that nothing more can be written.
    void fill()
    {
        QFile filler(fillerPath());
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return;
        const QByteArray block(4096, '\0');
        while (filler.write(block) == block.size()) {
        }
        m_fullSinceMs = NowMs();
    }
    void free()
    {
        if (QFile::remove(fillerPath())) m_fullWindows.push_back({m_fullSinceMs, NowMs()});
    }
    const std::vector<std::pair<qint64, qint64>>& fullWindows() const { return m_fullWindows; }

private:
    QString fillerPath() const { return m_path + QStringLiteral("/filler"); }

    QString m_path;
    bool m_mounted = false;
    qint64 m_fullSinceMs = 0;
    std::vector<std::pair<qint64, qint64>> m_fullWindows;
};

}  // namespace grainlink::soak
