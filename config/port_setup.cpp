#include "config/port_setup.h"

#include "config/key_writer.h"
#include "state/numeric_text.h"

#include <array>

namespace grainlink {

PortPanels OpenPortPanels(const SharedState& state)
{
    PortPanels panels;
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        PortPanel& panel = panels[unit];
        panel.shown = unit <= state.NumUnits;
        panel.enabled = panel.shown && state.UnitEnabled[unit];
        panel.port = QString::number(state.UnitPort[unit]);
        panel.name = state.UnitName[unit];
    }
    return panels;
}

std::optional<int16_t> PortNumber(const QString& text)
{
    const std::optional<int16_t> port = IntegerValue<int16_t>(text);
    if (!port || *port < kFirstPortNumber || *port > kLastPortNumber) return std::nullopt;
    return port;
}

bool PortChoicesValid(const PortPanels& panels)
{
    std::array<bool, kLastPortNumber + 1> used{};
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        if (!panels[unit].enabled) continue;
        const std::optional<int16_t> port = PortNumber(panels[unit].port);
        if (!port || used[*port]) return false;
        used[*port] = true;
    }
    return true;
}

bool ClosePortSetup(const PortPanels& panels, SharedState& state, ConfigFile& config,
                    MessageBox& messages)
{
    if (!PortChoicesValid(panels)) {
        messages.show(state.ProductName, QStringLiteral("Invalid ports selected"),
                      MessageIcon::Critical);
        return false;
    }
    KeyWriter keys(config);
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        const PortPanel& panel = panels[unit];
        const QByteArray section = "Unit" + QByteArray::number(unit);
        state.UnitEnabled[unit] = panel.enabled;
        keys.Write(section, "Enable", panel.enabled ? "1" : "0");
        if (const std::optional<int16_t> port = IntegerValue<int16_t>(panel.port)) {
            state.UnitPort[unit] = *port;
            keys.Write(section, "Port", QByteArray::number(*port));
        }
        state.UnitName[unit] = panel.name;
        keys.WriteText(section, "Name", panel.name);
    }
    keys.ReportFailure(messages, state.ProductName);
    return true;
}

}  // namespace grainlink
