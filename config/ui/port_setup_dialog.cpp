#include "config/ui/port_setup_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "config/port_setup.h"
#include "config/serial_devices.h"
#include "widgets/captioned_frame.h"
#include "widgets/dialog_controls.h"
#include "widgets/role_colours.h"
#include "widgets/twips.h"

namespace grainlink {
namespace {

constexpr int kFrameComLeft = 120;
constexpr int kFrameComTop = 60;
constexpr int kFrameComWidth = 5760;
constexpr int kPanelLeft = 120;
constexpr int kFirstPanelTop = 240;
constexpr int kPanelStep = 1140;
constexpr int kPanelWidth = 5520;
constexpr int kPanelHeight = 1020;
// frame_com ends 500 twips below the last panel shown; the dialog's outer height is 800 twips
// more, of which the title bar, menu bar and borders take all but the client area's margin.
constexpr int kFrameComBelowPanels = 500;
constexpr int kClientBelowFrameCom = 110;

QRect PanelRect(int unit)
{
    return {kPanelLeft, kFirstPanelTop + (unit - 1) * kPanelStep, kPanelWidth, kPanelHeight};
}

}  // namespace

PortSetupDialog::PortSetupDialog(SharedState& state, ConfigFile& config, MessageBox& messages,
                                 QWidget* parent)
    : QDialog(parent), m_state(state), m_config(config), m_messages(messages)
{
    MakeFixedDialog(this, "frm_com", QStringLiteral("Com port set-up"));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    connect(AddCloseMenu(this, client), &QAction::triggered, this, &PortSetupDialog::CloseCommand);

    auto* frameCom = new QFrame(client);
    frameCom->setFrameShape(QFrame::Box);
    frameCom->setFrameShadow(QFrame::Sunken);
    const PortPanels panels = OpenPortPanels(state);
    int shownBottom = 0;
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        BuildPanel(unit, frameCom);
        Panel& panel = m_panels[unit];
        panel.frame->setVisible(panels[unit].shown);
        panel.enabled->setChecked(panels[unit].enabled);
        panel.port->setEditText(panels[unit].port);
        panel.name->setText(panels[unit].name);
        ShowDevice(unit);
        if (panels[unit].shown) shownBottom = PanelRect(unit).bottom() + 1;
    }
    const int frameHeight = shownBottom + kFrameComBelowPanels;
    Place(frameCom, QStringLiteral("frame_com"),
          QRect(kFrameComLeft, kFrameComTop, kFrameComWidth, frameHeight));
    SetFixedTwipsSize(client, kFrameComLeft * 2 + kFrameComWidth,
                      kFrameComTop + frameHeight + kClientBelowFrameCom);
}

void PortSetupDialog::BuildPanel(int unit, QWidget* frameCom)
{
    Panel& panel = m_panels[unit];
    panel.frame = new CaptionedFrame(QStringLiteral("Unit %1").arg(unit),
                                     ColoursFor(ColourRole::Caption).text, frameCom);
    Place(panel.frame, ArrayName("frame_port", unit), PanelRect(unit));

    panel.enabled = new QCheckBox(QStringLiteral("Enabled"), panel.frame);
    Place(panel.enabled, ArrayName("chk_enabled", unit), QRect(120, 300, 1080, 255));

    AddCaption(panel.frame, ArrayName("Label1", unit), QStringLiteral("Com port"),
               QRect(1320, 300, 840, 255));
    panel.port = new QComboBox(panel.frame);
    panel.port->setEditable(true);
    panel.port->setInsertPolicy(QComboBox::NoInsert);
    for (int port = kFirstPortNumber; port <= kLastPortNumber; ++port)
        panel.port->addItem(QString::number(port));
    PlaceUncaptioned(panel.port, ArrayName("cmb_port", unit), QRect(2220, 255, 840, 345));
    panel.device =
        AddValueLabel(panel.frame, ArrayName("lbl_device", unit), QRect(3180, 285, 2220, 285));

    AddCaption(panel.frame, ArrayName("lbl_name", unit), QStringLiteral("Name:"),
               QRect(1320, 660, 840, 255));
    panel.name = new QLineEdit(panel.frame);
    panel.name->setMaxLength(kUnitNameCapacity - 1);
    PlaceUncaptioned(panel.name, ArrayName("txt_name", unit), QRect(2220, 630, 3180, 315));

    connect(panel.port, &QComboBox::editTextChanged, this, [this, unit] { ShowDevice(unit); });
}

void PortSetupDialog::ShowDevice(int unit)
{
    const std::optional<int16_t> port = PortNumber(m_panels[unit].port->currentText());
    SetValueText(m_panels[unit].device, port ? PortDevicePath(m_config, *port) : QString());
}

void PortSetupDialog::CloseCommand()
{
    PortPanels panels;
    for (int unit = 1; unit <= kMaxUnits; ++unit) {
        const Panel& panel = m_panels[unit];
        panels[unit] = {!panel.frame->isHidden(), panel.enabled->isChecked(),
                        panel.port->currentText(), panel.name->text()};
    }
    if (ClosePortSetup(panels, m_state, m_config, m_messages)) accept();
}

}  // namespace grainlink
