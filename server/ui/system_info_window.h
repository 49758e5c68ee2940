#pragma once

#include <QDialog>

namespace grainlink {

// The program's own system information window: the text (see SystemInformationText) read-only,
// and a button that copies all of it to the clipboard, for a support request.
class SystemInfoWindow : public QDialog {
    Q_OBJECT

public:
    explicit SystemInfoWindow(const QString& text, QWidget* parent = nullptr);
};

}  // namespace grainlink
