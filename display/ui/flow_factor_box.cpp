#include "display/ui/flow_factor_box.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "config/config_file.h"
#include "config/flow_factor.h"
#include "platform/message_box.h"
#include "state/numeric_text.h"
#include "state/unit_state.h"
#include "widgets/role_colours.h"

namespace grainlink {
namespace {

constexpr Qt::KeyboardModifiers kCommandModifiers =
    Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

bool IsFactorCharacter(const QKeyEvent* event)
{
    const QString text = event->text();
    return !(event->modifiers() & kCommandModifiers) && text.size() == 1 &&
           ((text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9')) ||
            text[0] == QLatin1Char('.'));
}

}  // namespace

FlowFactorBox::FlowFactorBox(ItemTable& items, ConfigFile& config, MessageBox& messages,
                             const SharedState& state, QWidget* parent)
    : QLineEdit(parent), m_items(items), m_config(config), m_messages(messages), m_state(state)
{
    setObjectName(ItemName(Item::txt_flow_factor));
    setAccessibleName(ItemName(Item::txt_flow_factor));
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAutoFillBackground(true);
    // A longer factor would come back cut at the next activation.
    setMaxLength(kFlowFactorMaxLength);
    ShowColours(false);

    setText(m_items.text(Item::txt_flow_factor));
    connect(&m_items, &ItemTable::textChanged, this, [this](Item item, const QString& text) {
        if (item == Item::txt_flow_factor && text != this->text()) setText(text);
    });
    connect(this, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_items.setText(Item::txt_flow_factor, text); });
}

void FlowFactorBox::Reload()
{
    SetFactorText(ReadFlowFactor(m_config, m_items.unit()));
    // The box now shows the stored value, so it no longer looks like an edit in progress.
    ShowColours(false);
}

bool FlowFactorBox::ValidateMe()
{
    if (!IsNumeric(text())) {
        Tell(QStringLiteral("Invalid entry for Flow Factor, reenter value for Flow Factor."));
        return false;
    }
    Store();
    return true;
}

void FlowFactorBox::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    if (event->key() == Qt::Key_Backspace) {
        SetFactorText(QString());
        ShowColours(true);
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Confirm();
    } else if (IsFactorCharacter(event)) {
        SetFactorText(text() + event->text());
        ShowColours(true);
    }
}

void FlowFactorBox::inputMethodEvent(QInputMethodEvent* event)
{
    event->ignore();
}

void FlowFactorBox::mouseReleaseEvent(QMouseEvent* event)
{
    // The middle button would paste the selection clipboard.
    if (event->button() == Qt::MiddleButton) return;
    QLineEdit::mouseReleaseEvent(event);
}

void FlowFactorBox::SetFactorText(const QString& text)
{
    setText(text);
    setCursorPosition(static_cast<int>(text.size()));
}

void FlowFactorBox::Confirm()
{
    if (!IsNumeric(text())) {
        Tell(QStringLiteral("invalid data"));
        return;
    }
    if (Store()) ShowColours(false);
}

bool FlowFactorBox::Store()
{
    if (WriteFlowFactor(m_config, m_items.unit(), text())) return true;
    Tell(QStringLiteral("The flow factor could not be saved."));
    return false;
}

void FlowFactorBox::ShowColours(bool editing)
{
    const QColor editingBlue(Qt::blue);
    const RoleColours saved = ColoursFor(ColourRole::Value);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, editing ? editingBlue : saved.background);
    palette.setColor(QPalette::Text, editing ? TextOn(editingBlue) : saved.text);
    setPalette(palette);
}

void FlowFactorBox::Tell(const QString& text)
{
    m_messages.show(m_state.ProductName, text, MessageIcon::Exclamation);
}

}  // namespace grainlink
