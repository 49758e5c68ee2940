#pragma once

#include "config/options_form.h"

class QWidget;

namespace grainlink {

class ConfigFile;
class MessageBox;
class QuestionBox;
struct SharedState;

// The main window's Security and Options commands, each a call the menu item makes.

// Security / Log on: shows the login dialog modally and answers whether a user is logged on
// afterwards, which is what the Close and Options commands' enabled state must follow.
bool RunLogOn(QWidget* parent, SharedState& state, MessageBox& messages);

// Options: OptionsOpen is set while the modal options dialog is up (so the tick keeps the ports
// closed); when it has closed, whichever way, callbacks.refreshCommsPanel runs and OptionsOpen
// is cleared, also when the refresh throws. The ports are reopened at the next tick.
void RunOptionsDialog(QWidget* parent, SharedState& state, ConfigFile& config, MessageBox& messages,
                      QuestionBox& questions, const OptionsCallbacks& callbacks);

}  // namespace grainlink
