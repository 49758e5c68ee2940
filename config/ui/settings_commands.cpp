#include "config/ui/settings_commands.h"

#include "config/ui/login_dialog.h"
#include "config/ui/options_dialog.h"

namespace grainlink {

bool RunLogOn(QWidget* parent, SharedState& state, MessageBox& messages)
{
    LoginDialog dialog(state, messages, parent);
    dialog.exec();
    return state.LoggedIn;
}

void RunOptionsDialog(QWidget* parent, SharedState& state, ConfigFile& config, MessageBox& messages,
                      QuestionBox& questions, const OptionsCallbacks& callbacks)
{
    struct ClearOptionsOpen {
        SharedState& state;
        ~ClearOptionsOpen() { state.OptionsOpen = false; }
    };
    state.OptionsOpen = true;
    const ClearOptionsOpen clear{state};
    {
        OptionsDialog dialog(state, config, messages, questions, callbacks, parent);
        dialog.exec();
    }
    callbacks.refreshCommsPanel();
}

}  // namespace grainlink
