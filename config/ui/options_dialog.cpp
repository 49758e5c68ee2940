#include "config/ui/options_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "config/ui/port_setup_dialog.h"
#include "widgets/dialog_controls.h"
#include "widgets/spin_button.h"
#include "widgets/twips.h"

namespace grainlink {
namespace {

constexpr int kClientWidth = 6240;
constexpr int kClientHeight = 5760;
constexpr int kNumberLength = 4;
// The password is read back with a capacity of 80 bytes, one byte a character.
constexpr int kMaxPasswordLength = 79;

QCheckBox* AddCheckBox(QWidget* parent, const char* name, const QString& text, const QRect& twips)
{
    auto* box = new QCheckBox(text, parent);
    Place(box, QLatin1String(name), twips);
    return box;
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& text, const QRect& twips)
{
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    Place(button, QLatin1String(name), twips);
    return button;
}

QLineEdit* AddTextBox(QWidget* parent, const char* name, const QRect& twips)
{
    auto* box = new QLineEdit(parent);
    PlaceUncaptioned(box, QLatin1String(name), twips);
    return box;
}

}  // namespace

OptionsDialog::OptionsDialog(SharedState& state, ConfigFile& config, MessageBox& messages,
                             QuestionBox& questions, OptionsCallbacks callbacks, QWidget* parent)
    : QDialog(parent),
      m_state(state),
      m_config(config),
      m_messages(messages),
      m_form(state, config, messages, questions),
      m_callbacks(std::move(callbacks))
{
    MakeFixedDialog(this, "frm_options", QStringLiteral("Options"));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    SetFixedTwipsSize(client, kClientWidth, kClientHeight);
    connect(AddCloseMenu(this, client), &QAction::triggered, this, &OptionsDialog::CloseCommand);
    BuildFields(client, state.HardwareName);
    ShowFields();
    m_units->setValue(m_form.entries().spinValue);
    // Connected once the fields are filled, so that filling them is not taken for a change.
    connect(m_units, &SpinButton::valueChanged, this, &OptionsDialog::UnitsChanged);
}

void OptionsDialog::BuildFields(QWidget* client, const QString& hardwareName)
{
    m_timeout = AddTextBox(client, "txt_timeout", QRect(240, 240, 615, 315));
    m_timeout->setMaxLength(kNumberLength);
    AddCaption(client, QStringLiteral("lbl_time"),
               QStringLiteral("How often a record is expected (in seconds)."),
               QRect(960, 270, 5040, 255));

    m_bufferSize = AddTextBox(client, "txt_buffer_size", QRect(240, 720, 615, 315));
    m_bufferSize->setMaxLength(kNumberLength);
    AddCaption(client, QStringLiteral("lbl_buffer_size"), QStringLiteral("Buffer size (10-1000)"),
               QRect(960, 750, 5040, 255));
    AddCaption(client, QStringLiteral("lbl_help"),
               QStringLiteral("This specifies the size of the scrolling data. Once the buffer is "
                              "full, the first item will be removed to make room the the next "
                              "(FIFO)"),
               QRect(240, 1140, 5760, 600), true);

    AddCaption(client, QStringLiteral("Label2"),
               QStringLiteral("Number of ") + hardwareName + QStringLiteral("'s to support:"),
               QRect(240, 1950, 3180, 255));
    m_unitsShown = AddValueLabel(client, QStringLiteral("lbl_units"), QRect(3480, 1920, 375, 315));
    m_unitsShown->setAlignment(Qt::AlignCenter);
    m_units = new SpinButton(1, kMaxUnits, client);
    PlaceUncaptioned(m_units, QStringLiteral("spn_units"), QRect(3900, 1875, 255, 405));
    connect(AddButton(client, "cmd_ports", QStringLiteral("Set-up Com Ports"),
                      QRect(4320, 1875, 1680, 405)),
            &QPushButton::clicked, this, &OptionsDialog::SetUpPorts);

    m_log = AddCheckBox(client, "chk_log", QStringLiteral("Log data to file"),
                        QRect(240, 2580, 3000, 255));
    connect(AddButton(client, "cmd_browse", QStringLiteral("Browse"), QRect(4920, 2520, 1080, 375)),
            &QPushButton::clicked, this, &OptionsDialog::Browse);
    AddCaption(client, QStringLiteral("Label1"),
               QStringLiteral("To create a log file, click on browse to select the folder and "
                              "file name of where the data is to be stored. Please note that the "
                              "unit number will be appended to the file name"),
               QRect(240, 3000, 5760, 800), true);
    m_fileName =
        AddValueLabel(client, QStringLiteral("txt_file_name"), QRect(240, 3840, 5760, 315));

    m_rawLog =
        AddCheckBox(client, "chkLogRawData", QStringLiteral("Log Raw Data to file (RawData.txt)"),
                    QRect(240, 4380, 5760, 255));
    m_demo = AddCheckBox(client, "chk_demo",
                         QStringLiteral("Demo mode (generates counts with no sensor connected)"),
                         QRect(240, 4740, 5760, 255));
    m_security = AddCheckBox(client, "chkSecurityActive", QStringLiteral("Enable Security"),
                             QRect(240, 5280, 1920, 255));
    AddCaption(client, QStringLiteral("Label3"), QStringLiteral("Password :"),
               QRect(2280, 5280, 960, 255));
    m_password = AddTextBox(client, "txtPassword", QRect(3300, 5250, 2700, 315));
    MaskAsPassword(m_password);
    m_password->setMaxLength(kMaxPasswordLength);
    connect(m_security, &QCheckBox::toggled, m_password, &QLineEdit::setEnabled);
}

void OptionsDialog::ShowFields()
{
    const OptionsEntries& entries = m_form.entries();
    m_timeout->setText(entries.timeout);
    m_bufferSize->setText(entries.bufferSize);
    SetValueText(m_unitsShown, entries.units);
    m_log->setChecked(entries.log);
    SetValueText(m_fileName, entries.logFile);
    m_rawLog->setChecked(entries.rawLog);
    m_demo->setChecked(entries.demo);
    m_security->setChecked(entries.security);
    m_password->setText(entries.password);
    m_password->setEnabled(entries.security);
}

void OptionsDialog::ReadFields()
{
    OptionsEntries& entries = m_form.entries();
    entries.timeout = m_timeout->text();
    entries.bufferSize = m_bufferSize->text();
    entries.log = m_log->isChecked();
    entries.rawLog = m_rawLog->isChecked();
    entries.demo = m_demo->isChecked();
    entries.security = m_security->isChecked();
    entries.password = m_password->text();
}

void OptionsDialog::UnitsChanged(int value)
{
    m_form.SpinChanged(value);
    SetValueText(m_unitsShown, m_form.entries().units);
}

void OptionsDialog::SetUpPorts()
{
    m_form.PortSetupOpening();
    PortSetupDialog ports(m_state, m_config, m_messages, this);
    ports.exec();
    m_form.PortSetupClosed();
}

void OptionsDialog::Browse()
{
    QFileDialog dialog(this, QStringLiteral("Select log file"));
    dialog.setObjectName(QStringLiteral("cdlg_file"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("*.txt"));
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    const QString current = m_form.entries().logFile;
    if (!current.isEmpty()) dialog.selectFile(current);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    if (m_form.ChooseLogFile(dialog.selectedFiles().constFirst()))
        SetValueText(m_fileName, m_form.entries().logFile);
}

void OptionsDialog::CloseCommand()
{
    ReadFields();
    const bool closing = m_form.Close(m_callbacks);
    ShowFields();
    if (closing) accept();
}

void OptionsDialog::reject()
{
    m_form.Cancel();
    QDialog::reject();
}

}  // namespace grainlink
