#pragma once

#include "config/config_file.h"
#include "config/serial_devices.h"
#include "platform/message_box.h"
#include "state/unit_state.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace grainlink {

// The read capacity of [Unit<n>] Name: the name box takes capacity - 1 characters, all that is
// read back.
constexpr int kUnitNameCapacity = 80;

// One unit's panel of the port set-up dialog as the user has left it.
struct PortPanel {
    bool shown = false;    // frame_port: units up to NumUnits
    bool enabled = false;  // chk_enabled
    QString port;          // cmb_port, editable, so any text
    QString name;          // txt_name
};

// The four panels, indexed by unit number 1..4.
using PortPanels = PerUnit<PortPanel>;

// The panels as the dialog opens: units up to NumUnits show their settings. The others are
// hidden and unticked (so they are saved disabled) but keep the unit's port and name, which
// would otherwise be lost the next time the dialog is closed with fewer units.
PortPanels OpenPortPanels(const SharedState& state);

// The port number a port text stands for: numeric and from 1 to 10.
std::optional<int16_t> PortNumber(const QString& text);

// True when every ticked unit has a port number that no earlier ticked unit uses. Unticked units
// are not tested and reserve nothing, so two units may share a port while at most one is on.
bool PortChoicesValid(const PortPanels& panels);

// The Close command: with valid choices, stores each unit's Enable, Port (only a numeric text
// that fits) and Name in the shared state and in [Unit1]..[Unit4], and answers true; otherwise
// shows "Invalid ports selected" and changes nothing. It opens no port: the caller has asked for
// the ports to be reopened at the next tick.
bool ClosePortSetup(const PortPanels& panels, SharedState& state, ConfigFile& config,
                    MessageBox& messages);

}  // namespace grainlink
