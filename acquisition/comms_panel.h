#pragma once

#include <QObject>
#include <QString>

#include <array>

namespace grainlink {

// The texts of the main window's communications panel, one group per unit.
enum class CommsControl { frame_comms, lbl_rx, lbl_msg, lbl_last_msg_time, lbl_rx_cnt };

QString CommsControlName(CommsControl control);

// What the communications panel shows, kept apart from any window so that the cycle can be run
// and checked without one. The main window and the headless printer both follow it.
class CommsPanel : public QObject {
    Q_OBJECT

public:
    explicit CommsPanel(QObject* parent = nullptr);

    const QString& text(CommsControl control, int unit) const;
    void setText(CommsControl control, int unit, const QString& text);

    bool isUnitShown(int unit) const;
    void setUnitShown(int unit, bool shown);

signals:
    void textChanged(grainlink::CommsControl control, int unit, const QString& text);
    void unitShownChanged(int unit, bool shown);

private:
    static constexpr int kControls = 5;
    std::array<std::array<QString, kControls>, 4> m_texts;
    std::array<bool, 4> m_shown{true, true, true, true};
};

}  // namespace grainlink
