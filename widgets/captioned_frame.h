#pragma once

#include <QColor>
#include <QFrame>
#include <QString>

namespace grainlink {

// A frame whose caption sits in its top border line, so that the space inside belongs entirely to
// the controls placed in it at their design positions (a group box would push its title into
// that space on some styles).
class CaptionedFrame : public QFrame {
    Q_OBJECT

public:
    CaptionedFrame(const QString& caption, const QColor& captionColour, QWidget* parent);

    const QString& caption() const { return m_caption; }
    const QColor& captionColour() const { return m_captionColour; }
    void setCaption(const QString& caption);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    QColor m_captionColour;
};

}  // namespace grainlink
