#pragma once

#include <QWidget>

#include "platform/error_notice.h"

namespace grainlink {

// frm_ErrMsg: the notice that a serial port cannot be used. It is shown without waiting, so
// acquisition goes on while it is up; there is only ever one, and showing it again while it is
// up just brings it to the front. OK hides it, ready for the next error.
class ErrorMessageWindow final : public QWidget, public ErrorNotice {
    Q_OBJECT

public:
    explicit ErrorMessageWindow(QWidget* parent = nullptr);

    void showPortError(const QString& detail) override;
};

}  // namespace grainlink
