#include <QCoreApplication>

#include "platform/mqtt_dde_source.h"

// A server that publishes one item until it is killed: lets the tests watch the broker announce
// the death of a server that never shut down. Arguments: broker port, topic root.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) return 2;
    grainlink::MqttSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = static_cast<quint16>(QByteArray(argv[1]).toUInt());
    settings.topicRoot = QString::fromUtf8(argv[2]);
    grainlink::MqttDdeSource source(settings);
    source.setItem(QStringLiteral("UNIT1"), QStringLiteral("status"), QStringLiteral("OK"));
    return app.exec();
}
