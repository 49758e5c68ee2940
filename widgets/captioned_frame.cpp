#include "widgets/captioned_frame.h"

#include <qdrawutil.h>

#include <QPainter>

#include "widgets/twips.h"

namespace grainlink {
namespace {

constexpr int kCaptionLeftTwips = 120;
constexpr int kCaptionPadding = 2;

}  // namespace

CaptionedFrame::CaptionedFrame(const QString& caption, const QColor& captionColour, QWidget* parent)
    : QFrame(parent), m_caption(caption), m_captionColour(captionColour)
{
    setAccessibleName(caption);
}

void CaptionedFrame::setCaption(const QString& caption)
{
    if (caption == m_caption) return;
    m_caption = caption;
    setAccessibleName(caption);
    update();
}

void CaptionedFrame::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();

    // An etched line, as frames are drawn on every style.
    qDrawShadeRect(&painter, rect().adjusted(0, metrics.height() / 2, 0, 0), palette(), true, 1);

    const QRect text(TwipsToPixels(kCaptionLeftTwips), 0,
                     metrics.horizontalAdvance(m_caption) + 2 * kCaptionPadding, metrics.height());
    painter.fillRect(text, palette().window());
    painter.setPen(m_captionColour);
    painter.drawText(text, Qt::AlignCenter, m_caption);
}

}  // namespace grainlink
