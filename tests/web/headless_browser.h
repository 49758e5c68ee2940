#pragma once

// Debian's chromium in headless mode, driven over its DevTools protocol on a pipe (JSON
// messages ended by NUL on descriptors 3 and 4 of the browser), so that a test can load a page
// and wait inside the page for what it renders.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <fcntl.h>
#include <sys/prctl.h>
#include <csignal>
#include <unistd.h>

namespace grainlink::test {

class HeadlessBrowser {
public:
    ~HeadlessBrowser()
    {
        m_process.kill();
        m_process.waitForFinished();
        for (int fd : {m_toBrowser, m_fromBrowser})
            if (fd >= 0) ::close(fd);
    }

    static QString Executable() { return QStandardPaths::findExecutable("chromium"); }

    bool start()
    {
        int request[2], response[2];
        if (::pipe2(request, O_CLOEXEC) != 0 || ::pipe2(response, O_CLOEXEC) != 0) return false;
        // Above 4, so that placing them on 3 and 4 in the child never overwrites one of them.
        const int browserIn = ::fcntl(request[0], F_DUPFD_CLOEXEC, 10);
        const int browserOut = ::fcntl(response[1], F_DUPFD_CLOEXEC, 10);
        ::close(request[0]);
        ::close(response[1]);
        m_toBrowser = request[1];
        m_fromBrowser = response[0];
        ::fcntl(m_fromBrowser, F_SETFL, O_NONBLOCK);
        m_process.setChildProcessModifier([browserIn, browserOut] {
            ::dup2(browserIn, 3);
            ::dup2(browserOut, 4);
            prctl(PR_SET_PDEATHSIG, SIGKILL);
        });
        QStringList arguments{"--headless", "--remote-debugging-pipe", "--disable-gpu",
                              "--no-first-run", "--no-default-browser-check",
                              "--user-data-dir=" + m_profile.path(), "--window-size=1280,900",
                              "about:blank"};
        if (::geteuid() == 0) arguments.prepend("--no-sandbox");  // refused as root otherwise
        m_process.setStandardErrorFile(QProcess::nullDevice());  // its complaints about D-Bus
        m_process.start(Executable(), arguments);
        const bool started = m_process.waitForStarted();
        ::close(browserIn);
        ::close(browserOut);
        return started;
    }

    // Opens `url` in a new page and waits for its load event.
    bool open(const QString& url, int timeoutMs)
    {
        const auto target = call("Target.createTarget", {{"url", "about:blank"}}, timeoutMs);
        if (!target) return false;
        const auto attached =
            call("Target.attachToTarget",
                 {{"targetId", (*target)["targetId"]}, {"flatten", true}}, timeoutMs);
        if (!attached) return false;
        m_session = (*attached)["sessionId"].toString();
        if (!call("Page.enable", {}, timeoutMs) || !call("Page.navigate", {{"url", url}}, timeoutMs))
            return false;
        return QTest::qWaitFor([&] { return take("Page.loadEventFired").has_value(); }, timeoutMs);
    }

    // The value of a JavaScript expression in the page, awaited when it is a promise; none
    // when it throws or has not settled within the time.
    std::optional<QJsonValue> evaluate(const QString& expression, int timeoutMs)
    {
        const auto result = call("Runtime.evaluate",
                                 {{"expression", expression},
                                  {"awaitPromise", true},
                                  {"returnByValue", true}},
                                 timeoutMs);
        if (!result || result->contains("exceptionDetails")) return std::nullopt;
        return (*result)["result"].toObject()["value"];
    }

private:
    // Sends a command and waits for its result.
    std::optional<QJsonObject> call(const QString& method, const QJsonObject& params,
                                    int timeoutMs)
    {
        QJsonObject command{{"id", ++m_lastId}, {"method", method}, {"params", params}};
        if (!m_session.isEmpty()) command.insert("sessionId", m_session);
        const QByteArray bytes = QJsonDocument(command).toJson(QJsonDocument::Compact) + '\0';
        if (::write(m_toBrowser, bytes.constData(), bytes.size()) != bytes.size())
            return std::nullopt;
        std::optional<QJsonObject> reply;
        if (!QTest::qWaitFor([&] { return (reply = take({}, m_lastId)).has_value(); }, timeoutMs) ||
            reply->contains("error"))
            return std::nullopt;
        return (*reply)["result"].toObject();
    }

    // Reads what the browser wrote, then removes and returns the first message that is the
    // event `method` or the reply with `id`.
    std::optional<QJsonObject> take(const QString& method, int id = 0)
    {
        char chunk[65536];
        for (ssize_t n; (n = ::read(m_fromBrowser, chunk, sizeof chunk)) > 0;) m_read.append(chunk, n);
        for (qsizetype end; (end = m_read.indexOf('\0')) >= 0; m_read.remove(0, end + 1))
            m_messages << QJsonDocument::fromJson(m_read.first(end)).object();
        for (qsizetype i = 0; i < m_messages.size(); ++i) {
            const QJsonObject& message = m_messages[i];
            if ((id != 0 && message["id"].toInt() == id) ||
                (!method.isEmpty() && message["method"].toString() == method))
                return m_messages.takeAt(i);
        }
        return std::nullopt;
    }

    QTemporaryDir m_profile;
    QProcess m_process;
    int m_toBrowser = -1;
    int m_fromBrowser = -1;
    int m_lastId = 0;
    QString m_session;
    QByteArray m_read;
    QList<QJsonObject> m_messages;
};

}  // namespace grainlink::test
