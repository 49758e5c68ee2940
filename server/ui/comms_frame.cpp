#include "server/ui/comms_frame.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>

namespace grainlink {
namespace {

QString ArrayName(const char* control, int unit)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(control)).arg(unit);
}

QLabel* MakeValueLabel(const char* control, int unit, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(ArrayName(control, unit));
    label->setAccessibleName(ArrayName(control, unit));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLabel* MakeCaption(const char* name, const QString& text, int unit, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(ArrayName(name, unit));
    return label;
}

// A record ends in CR LF, which the box would show as an empty line after it (and a scroll bar
// on a record that fills the box); the line ends inside a message still break its lines.
QString WithoutFinalLineEnd(QString text)
{
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'))) text.chop(1);
    return text;
}

}  // namespace

CommsFrame::CommsFrame(int unit, QWidget* parent) : QGroupBox(parent)
{
    setObjectName(ArrayName("frame_comms", unit));

    m_rx = new QPlainTextEdit(this);
    m_rx->setObjectName(ArrayName("lbl_rx", unit));
    m_rx->setAccessibleName(ArrayName("lbl_rx", unit));
    m_rx->setReadOnly(true);
    m_rx->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_rx->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_rx->setFixedHeight(m_rx->fontMetrics().lineSpacing() * 3 + 12);

    m_msg = MakeValueLabel("lbl_msg", unit, this);
    m_lastMsgTime = MakeValueLabel("lbl_last_msg_time", unit, this);
    m_rxCount = MakeValueLabel("lbl_rx_cnt", unit, this);
    m_rxCount->setMinimumWidth(70);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_rx, 0, 0, 1, 4);
    grid->addWidget(MakeCaption("Label3", QStringLiteral("Rx Message"), unit, this), 1, 0);
    grid->addWidget(m_msg, 1, 1, 1, 3);
    grid->addWidget(MakeCaption("Label1", QStringLiteral("Last Rx Time :"), unit, this), 2, 0);
    grid->addWidget(m_lastMsgTime, 2, 1);
    grid->addWidget(MakeCaption("Label2", QStringLiteral("RX Count"), unit, this), 2, 2);
    grid->addWidget(m_rxCount, 2, 3);
    grid->setColumnStretch(1, 1);
}

void CommsFrame::setControlText(CommsControl control, const QString& text)
{
    switch (control) {
    case CommsControl::frame_comms: setTitle(text); break;
    case CommsControl::lbl_rx: m_rx->setPlainText(WithoutFinalLineEnd(text)); break;
    case CommsControl::lbl_msg: m_msg->setText(text); break;
    case CommsControl::lbl_last_msg_time: m_lastMsgTime->setText(text); break;
    case CommsControl::lbl_rx_cnt: m_rxCount->setText(text); break;
    }
}

}  // namespace grainlink
