#include "server/ui/product_picture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "platform/message_box.h"

namespace grainlink {
namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 180;
constexpr const char* kFileName = "Splash.bmp";

void DrawBackground(QPainter& painter)
{
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0.0, QColor(0x0b, 0x25, 0x45));
    sky.setColorAt(1.0, QColor(0x1d, 0x60, 0x74));
    painter.fillRect(0, 0, kWidth, kHeight, sky);
}

// The flow line across the picture, with particles of four sizes carried along it.
void DrawFlowLine(QPainter& painter)
{
    const QRectF pipe(0, 104, kWidth, 44);
    QLinearGradient steel(0, pipe.top(), 0, pipe.bottom());
    steel.setColorAt(0.0, QColor(0xc8, 0xd3, 0xdc));
    steel.setColorAt(0.5, QColor(0xf4, 0xf7, 0xfa));
    steel.setColorAt(1.0, QColor(0x8a, 0x9b, 0xaa));
    painter.fillRect(pipe, steel);
    painter.fillRect(QRectF(0, pipe.top() + 6, kWidth, pipe.height() - 12),
                     QColor(0x2b, 0x4c, 0x6f));

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xff, 0xc1, 0x4d));
    // Position along the line, height in the stream, radius.
    const int particles[][3] = {{14, 116, 2},  {31, 133, 3},  {52, 121, 1},  {70, 137, 2},
                                {88, 118, 4},  {150, 130, 2}, {168, 115, 3}, {186, 138, 1},
                                {204, 124, 4}, {222, 134, 2}, {232, 117, 1}};
    for (const auto& p : particles) painter.drawEllipse(QPointF(p[0], p[1]), p[2], p[2]);
}

// The sensor head mounted on the line: a housing with a display of four channel bars, and the
// light beam it sends across the stream, lighting up the particle passing through it.
void DrawSensor(QPainter& painter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x8a, 0x9b, 0xaa));
    painter.drawRect(QRectF(100, 96, 40, 12));  // mount
    painter.setBrush(QColor(0xff, 0x5a, 0x5a, 70));
    painter.drawRect(QRectF(114, 110, 12, 32));  // glow
    painter.setBrush(QColor(0xff, 0x5a, 0x5a, 220));
    painter.drawRect(QRectF(118, 110, 4, 32));  // beam
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(120, 127), 3, 3);

    QPainterPath housing;
    housing.addRoundedRect(QRectF(78, 22, 84, 76), 10, 10);
    QLinearGradient body(78, 0, 162, 0);
    body.setColorAt(0.0, QColor(0xe9, 0xee, 0xf2));
    body.setColorAt(1.0, QColor(0xb4, 0xc0, 0xcb));
    painter.setBrush(body);
    painter.setPen(QPen(QColor(0x0b, 0x25, 0x45), 2));
    painter.drawPath(housing);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x10, 0x1c, 0x26));
    painter.drawRoundedRect(QRectF(88, 32, 64, 44), 4, 4);
    painter.setBrush(QColor(0x4c, 0xe0, 0x8a));
    const int bars[] = {34, 26, 14, 7};
    for (int i = 0; i < 4; ++i) painter.drawRect(QRectF(95 + i * 14, 70 - bars[i], 9, bars[i]));
    painter.drawEllipse(QPointF(148, 87), 3, 3);  // power lamp
}

}  // namespace

QImage BuiltInProductPicture()
{
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawBackground(painter);
    DrawFlowLine(painter);
    DrawSensor(painter);
    return picture;
}

QStringList ProductPictureFolders()
{
    const QDir program(QCoreApplication::applicationDirPath());
    return {program.path(), program.filePath(QStringLiteral("../share/grainlink"))};
}

QPixmap LoadProductPicture(const QStringList& folders, MessageBox& messages, const QString& title)
{
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(QLatin1String(kFileName));
        if (!QFileInfo::exists(path)) continue;
        QPixmap picture;
        if (picture.load(path)) return picture;
        break;  // the program's own file is unreadable: say so rather than look further
    }
    messages.show(title, QStringLiteral("Unable to load Splash.bmp file."), MessageIcon::None);
    return QPixmap::fromImage(BuiltInProductPicture());
}

}  // namespace grainlink
