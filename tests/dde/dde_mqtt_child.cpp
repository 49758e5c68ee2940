#include <QCoreApplication>

#include "platform/mqtt_dde_source.h"

// A server that stays connected until it is killed: lets the tests watch the broker announce
// the death of a server that never shut down. Argument: the port of the broker on 127.0.0.1.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) return 2;
    const auto port = static_cast<quint16>(QByteArray(argv[1]).toUInt());
    grainlink::MqttDdeSource source(
        {.host = QStringLiteral("127.0.0.1"), .port = port, .topicRoot = QStringLiteral("GL")});
    return app.exec();
}
