#include "acquisition/comms_panel.h"

#include <stdexcept>

namespace grainlink {
namespace {

std::size_t Slot(int unit)
{
    if (unit < 1 || unit > 4) throw std::out_of_range("unit outside 1..4");
    return static_cast<std::size_t>(unit - 1);
}

}  // namespace

QString CommsControlName(CommsControl control)
{
    switch (control) {
    case CommsControl::frame_comms: return QStringLiteral("frame_comms");
    case CommsControl::lbl_rx: return QStringLiteral("lbl_rx");
    case CommsControl::lbl_msg: return QStringLiteral("lbl_msg");
    case CommsControl::lbl_last_msg_time: return QStringLiteral("lbl_last_msg_time");
    case CommsControl::lbl_rx_cnt: return QStringLiteral("lbl_rx_cnt");
    }
    return {};
}

CommsPanel::CommsPanel(QObject* parent) : QObject(parent)
{
    for (auto& unitTexts : m_texts)
        unitTexts[static_cast<int>(CommsControl::lbl_last_msg_time)] = QStringLiteral("HHMM");
}

const QString& CommsPanel::text(CommsControl control, int unit) const
{
    return m_texts[Slot(unit)][static_cast<int>(control)];
}

void CommsPanel::setText(CommsControl control, int unit, const QString& text)
{
    QString& current = m_texts[Slot(unit)][static_cast<int>(control)];
    if (current == text) return;
    current = text;
    emit textChanged(control, unit, current);
}

bool CommsPanel::isUnitShown(int unit) const
{
    return m_shown[Slot(unit)];
}

void CommsPanel::setUnitShown(int unit, bool shown)
{
    bool& current = m_shown[Slot(unit)];
    if (current == shown) return;
    current = shown;
    emit unitShownChanged(unit, shown);
}

}  // namespace grainlink
