#include "widgets/spin_button.h"

#include <QKeyEvent>
#include <QToolButton>
#include <algorithm>

namespace grainlink {
namespace {

QToolButton* MakeArrow(Qt::ArrowType arrow, const QString& name, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

SpinButton::SpinButton(int minimum, int maximum, QWidget* parent)
    : QWidget(parent), m_minimum(minimum), m_maximum(maximum), m_value(minimum)
{
    setFocusPolicy(Qt::StrongFocus);
    m_up = MakeArrow(Qt::UpArrow, QStringLiteral("up"), this);
    m_down = MakeArrow(Qt::DownArrow, QStringLiteral("down"), this);
    connect(m_up, &QToolButton::clicked, this, [this] { Step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void SpinButton::setValue(int value)
{
    m_value = std::clamp(value, m_minimum, m_maximum);
}

void SpinButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up)
        Step(1);
    else if (event->key() == Qt::Key_Down)
        Step(-1);
    else
        QWidget::keyPressEvent(event);
}

void SpinButton::resizeEvent(QResizeEvent* /*event*/)
{
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

void SpinButton::Step(int delta)
{
    const int stepped = std::clamp(m_value + delta, m_minimum, m_maximum);
    if (stepped == m_value) return;
    m_value = stepped;
    emit valueChanged(m_value);
}

}  // namespace grainlink
