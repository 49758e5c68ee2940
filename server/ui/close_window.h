#pragma once

#include <QDialog>
#include <functional>

namespace grainlink {

class MessageBox;
struct SharedState;

// frm_close "Close program ?": the only way to stop the server from inside it, because stopping
// ends the data flow to every connected program. There is one window: the Close command shows
// it without waiting and a second command only brings it to the front. Yes runs the shutdown
// (which closes the ports, tells the broker and ends the process at once, asking no other
// window and writing no setting); Cancel, Escape and the title-bar close box change nothing.
class CloseWindow : public QDialog {
    Q_OBJECT

public:
    CloseWindow(const QString& hardwareName, std::function<void()> shutdown,
                QWidget* parent = nullptr);

    // The Close command: the main window stays usable.
    void showWithoutWaiting();
    // The main window's close request while logged on: returns once the window is closed.
    void confirmAndWait();
};

// The main window's own close request (title-bar close box, system menu), which is always
// refused: when logged on the confirmation is shown and waited for, otherwise the message
// "You must logon to close the program". A Yes in the confirmation ends the program by itself.
void RefuseCloseRequest(const SharedState& state, CloseWindow& confirmation, MessageBox& messages);

}  // namespace grainlink
