#include "display/ui/data_window_panels.h"

#include <QLabel>
#include <QLineEdit>
#include <initializer_list>

#include "display/ui/item_label.h"
#include "platform/mqtt_dde_source.h"
#include "widgets/captioned_frame.h"
#include "widgets/role_colours.h"
#include "widgets/twips.h"

namespace grainlink {
namespace {

// Rows of the System, Raw and Sample frames: the caption above its value.
constexpr int kFirstRow = 240;
constexpr int kRowStep = 600;
constexpr int kCaptionHeight = 240;
constexpr int kValueHeight = 255;
constexpr int kInset = 120;

// Diagnostic frame: caption, value and unit of measure side by side.
constexpr int kDiagCaptionWidth = 1005;
constexpr int kDiagValueLeft = 1140;
constexpr int kDiagValueWidth = 660;
constexpr int kDiagUnitLeft = 1830;
constexpr int kDiagUnitWidth = 345;
// FlowIndex can be a ten-digit number with a sign and has no unit of measure beside it: its box
// starts just after its short caption and runs to the frame's inner edge.
constexpr int kFlowIndexLeft = 900;
constexpr int kFlowIndexRight = 2175;
constexpr int kDiagRowStep = 360;
constexpr int kStatusRow = 2040;
constexpr int kFirstFlagRow = 2400;
constexpr int kFlagSize = 255;
constexpr int kFlagLeft = 1695;

const QColor kNoDataYellow(255, 255, 192);
const QColor kHelpYellow(255, 255, 128);

QLabel* AddText(QWidget* parent, const QString& name, const QString& text, const QRect& twips,
                Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment);
    UseRole(label, ColourRole::Caption);
    SetTwipsGeometry(label, twips);
    return label;
}

// The static caption beside a value: its text is the item name, for the user to read off.
QLabel* AddCaption(QWidget* parent, Item item, const QRect& twips,
                   Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    const QString name = ItemName(item);
    QLabel* caption = AddText(parent, QStringLiteral("caption_") + name, name, twips, alignment);
    // Keeps the item name, as an accessible name, for the value label alone.
    caption->setAccessibleName(name + QStringLiteral(" caption"));
    return caption;
}

ItemLabel* AddValue(QWidget* parent, ItemTable& items, Item item, const QRect& twips)
{
    auto* value = new ItemLabel(items, item, parent);
    SetTwipsGeometry(value, twips);
    return value;
}

CaptionedFrame* AddFrame(QWidget* client, const char* name, const QString& caption,
                         const QRect& twips)
{
    auto* frame = new CaptionedFrame(caption, ColoursFor(ColourRole::Emphasis).text, client);
    frame->setObjectName(QString::fromLatin1(name));
    SetTwipsGeometry(frame, twips);
    return frame;
}

// Captions above values, one row every 600 twips; returns the top of the row after the last.
int AddStackedRows(CaptionedFrame* frame, ItemTable& items, std::initializer_list<Item> rows)
{
    const int width = TwipsGeometry(frame).width() - 2 * kInset;
    int y = kFirstRow;
    for (Item item : rows) {
        AddCaption(frame, item, QRect(kInset, y, width, kCaptionHeight));
        AddValue(frame, items, item, QRect(kInset, y + kCaptionHeight, width, kValueHeight));
        y += kRowStep;
    }
    return y;
}

void AddRawRows(CaptionedFrame* frame, ItemTable& items, QLineEdit* flowFactor)
{
    const int y = AddStackedRows(frame, items,
                                 {Item::Chan1Duty, Item::Chan2Duty, Item::Chan3Duty,
                                  Item::Chan4Duty, Item::Chan1Event, Item::Chan4Event});
    const int width = TwipsGeometry(frame).width() - 2 * kInset;
    QLabel* caption = AddText(
        frame, QStringLiteral("lbl_flow_factor_caption"), QStringLiteral("Flow adjustment factor:"),
        QRect(kInset, y - 60, width, 2 * kCaptionHeight - 60), Qt::AlignLeft | Qt::AlignBottom);
    caption->setWordWrap(true);
    UseRole(caption, ColourRole::Emphasis);
    flowFactor->setParent(frame);
    SetTwipsGeometry(flowFactor, QRect(kInset, y + 2 * kCaptionHeight - 60, width, 285));
}

void AddDiagnosticRows(CaptionedFrame* frame, ItemTable& items)
{
    struct Measured {
        Item item;
        const char* unit;
    };
    int y = kFirstRow;
    for (const Measured& row :
         {Measured{Item::LaserCurrent, "mA"}, Measured{Item::DiodePower, "VDC"},
          Measured{Item::Temperature, " °C"}}) {
        AddCaption(frame, row.item, QRect(kInset, y, kDiagCaptionWidth, kValueHeight));
        AddValue(frame, items, row.item, QRect(kDiagValueLeft, y, kDiagValueWidth, kValueHeight));
        AddText(frame, QStringLiteral("lbl_unit_") + ItemName(row.item),
                QString::fromUtf8(row.unit), QRect(kDiagUnitLeft, y, kDiagUnitWidth, kValueHeight));
        y += kDiagRowStep;
    }
    AddCaption(frame, Item::FlowIndex, QRect(kInset, y, kFlowIndexLeft - kInset, kValueHeight));
    AddValue(frame, items, Item::FlowIndex,
             QRect(kFlowIndexLeft, y, kFlowIndexRight - kFlowIndexLeft, kValueHeight));

    auto* line = new QFrame(frame);
    line->setObjectName(QStringLiteral("line_status"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    SetTwipsGeometry(line, QRect(kInset, 1800 - 15, TwipsGeometry(frame).width() - 2 * kInset, 30));

    AddText(frame, QStringLiteral("lbl_status_caption"), QStringLiteral("Status:"),
            QRect(kInset, kStatusRow, kDiagCaptionWidth, kValueHeight));
    AddValue(frame, items, Item::status,
             QRect(kDiagValueLeft, kStatusRow, kDiagValueWidth, kValueHeight))
        ->setAlignment(Qt::AlignCenter);
    AddValue(frame, items, Item::lbl_error,
             QRect(kDiagUnitLeft, kStatusRow, kDiagUnitWidth, kValueHeight))
        ->setFrameStyle(QFrame::NoFrame);

    y = kFirstFlagRow;
    for (Item flag : kAlarmFlags) {
        AddCaption(frame, flag, QRect(kInset, y, kFlagLeft - 60 - kInset, kFlagSize),
                   Qt::AlignRight | Qt::AlignVCenter);
        AddValue(frame, items, flag, QRect(kFlagLeft, y, kFlagSize, kFlagSize))
            ->setAlignment(Qt::AlignCenter);
        y += kDiagRowStep;
    }
}

// A note on a background of its own, boxed, whatever the palette.
void ShowAsNote(QLabel* label, const QColor& background)
{
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, TextOn(background));
    label->setPalette(palette);
}

void AddNotes(QWidget* client, const QString& mqttTopic, DataWindowPanels& panels)
{
    QLabel* noData = AddText(client, QStringLiteral("lbl_no_data"), QStringLiteral("No data = -1"),
                             QRect(240, 3720, 1335, 255), Qt::AlignCenter);
    ShowAsNote(noData, kNoDataYellow);

    QLabel* counts = AddText(client, QStringLiteral("lbl_counts_note"),
                             QStringLiteral("All counts are cummulative counts per mL"),
                             QRect(240, 4080, 1335, 615), Qt::AlignCenter);
    counts->setWordWrap(true);
    UseRole(counts, ColourRole::Emphasis);

    // Other programs read the values over MQTT here, so the help names the topic to subscribe to.
    // The topic starts a line of its own: wrapping would break it at a "/".
    const QString help = QStringLiteral(
                             "To access data shown on this page using MQTT, subscribe "
                             "to\n%1 followed by the name listed.")
                             .arg(mqttTopic);
    panels.help = AddText(client, QStringLiteral("lbl_help"), help, QRect(120, 5760, 7815, 495),
                          Qt::AlignCenter);
    panels.help->setWordWrap(true);
    panels.help->setToolTip(help);
    ShowAsNote(panels.help, kHelpYellow);
}

}  // namespace

DataWindowPanels BuildDataWindowPanels(QWidget* client, ItemTable& items, QLineEdit* flowFactor,
                                       const QString& mqttTopicRoot)
{
    DataWindowPanels panels;
    panels.system = AddFrame(client, "frame_system_data", QStringLiteral("System Data"),
                             QRect(240, 240, 1335, 3255));
    panels.raw = AddFrame(client, "Frame_raw_sample_data", QStringLiteral("Raw Sample Data"),
                          QRect(1800, 240, 1815, 4575));
    panels.sample = AddFrame(client, "frame_derived_sample_data", QStringLiteral("Sample Data/mL"),
                             QRect(3840, 240, 1935, 5295));
    panels.diagnostic = AddFrame(client, "frame_diagnostic_data", QStringLiteral("Diagnostic Data"),
                                 QRect(6000, 240, 2295, 5295));

    AddStackedRows(
        panels.system, items,
        {Item::SystemID, Item::NodeID, Item::SerialNo, Item::Firmware, Item::SampleTime});
    AddRawRows(panels.raw, items, flowFactor);
    AddStackedRows(panels.sample, items,
                   {Item::Counts4um, Item::Counts6um, Item::Counts14um, Item::Counts21um,
                    Item::ISOCode4um, Item::ISOCode6um, Item::ISOCode14um, Item::ISOCode21um});
    AddDiagnosticRows(panels.diagnostic, items);
    AddNotes(client, MqttItemTopic(mqttTopicRoot, items.topic(), QString()), panels);
    return panels;
}

}  // namespace grainlink
