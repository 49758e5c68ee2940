#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

namespace grainlink {

class MessageBox;

// frm_help "Help about": the product, its version and picture (see LoadProductPicture, whose
// message about a missing Splash.bmp comes each time the box opens), a notice, OK, and
// "&System Info...", which opens the program's own system information window over the text
// systemInformation gives. When there is no such text to show (no source, or making it failed)
// the user is told "System Information Is Unavailable At This Time".
class AboutBox : public QDialog {
    Q_OBJECT

public:
    AboutBox(const QString& productName, const QStringList& pictureFolders, MessageBox& messages,
             std::function<QString()> systemInformation, QWidget* parent = nullptr);

    // cmdSysInfo.
    void StartSysInfo();

private:
    QString m_productName;
    MessageBox& m_messages;
    std::function<QString()> m_systemInformation;
};

}  // namespace grainlink
