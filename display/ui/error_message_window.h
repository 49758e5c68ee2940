#pragma once

#include <QWidget>

#include "platform/error_notice.h"

class QLabel;

namespace grainlink {

// frm_ErrMsg: the notice that a serial port cannot be used. It is shown without waiting, so
// acquisition goes on while it is up; there is only ever one, and showing it again while it is
// up just brings it to the front. OK hides it, ready for the next error. Under the fixed text a
// line (lbl_detail) tells the unit, device, reason and time of the latest error, and once that
// unit's port has opened again, since when; it is kept up to date while the window is hidden.
class ErrorMessageWindow final : public QWidget, public ErrorNotice {
    Q_OBJECT

public:
    explicit ErrorMessageWindow(QWidget* parent = nullptr);

    void showPortError(const PortErrorReport& report) override;
    void portRecovered(int unit, const QDateTime& when) override;

private:
    void ShowDetail();

    QLabel* m_detail = nullptr;
    PortErrorReport m_latest;
    QDateTime m_recovered;  // invalid while the latest error's unit has not recovered
};

}  // namespace grainlink
