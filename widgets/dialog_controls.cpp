#include "widgets/dialog_controls.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QShortcut>
#include <QVBoxLayout>

#include "widgets/twips.h"

namespace grainlink {
namespace {

// The dialogs are laid out in pixels derived from twips, so their text has a matching size.
constexpr int kFontPixels = 12;

}  // namespace

QString ArrayName(const char* name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

QWidget* Place(QWidget* control, const QString& name, const QRect& twips)
{
    control->setObjectName(name);
    SetTwipsGeometry(control, twips);
    return control;
}

QWidget* PlaceUncaptioned(QWidget* control, const QString& name, const QRect& twips)
{
    control->setAccessibleName(name);
    return Place(control, name, twips);
}

QLabel* AddCaption(QWidget* parent, const QString& name, const QString& text, const QRect& twips,
                   bool wrap)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(wrap);
    label->setAlignment(Qt::AlignLeft | (wrap ? Qt::AlignTop : Qt::AlignVCenter));
    Place(label, name, twips);
    return label;
}

QLabel* AddValueLabel(QWidget* parent, const QString& name, const QRect& twips)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    PlaceUncaptioned(label, name, twips);
    return label;
}

void SetValueText(QLabel* label, const QString& text)
{
    // A device or file path can be longer than its label: the start and the end of a path tell
    // more than its start alone, and the whole of it stays in the tooltip. The label keeps half
    // an "x" clear inside its frame; a whole one leaves room for rounding.
    const QFontMetrics metrics = label->fontMetrics();
    const int room = label->contentsRect().width() - metrics.horizontalAdvance(QLatin1Char('x'));
    label->setText(metrics.elidedText(text, Qt::ElideMiddle, room));
    label->setAccessibleDescription(text);
    label->setToolTip(text);
}

void MaskAsPassword(QLineEdit* box)
{
    box->setEchoMode(QLineEdit::Password);
    // The style's own mask character is a bullet on most styles.
    box->setStyleSheet(QStringLiteral("lineedit-password-character: %1").arg(int{u'*'}));
}

QAction* AddCloseMenu(QDialog* dialog, QWidget* client)
{
    auto* menuBar = new QMenuBar(dialog);
    menuBar->setObjectName(QStringLiteral("menu_bar"));
    QAction* close = menuBar->addAction(QStringLiteral("&Close"));
    close->setObjectName(QStringLiteral("mnu_close"));
    // Once Close has been chosen from the keyboard and a message about an entry answered, the
    // focus is back on the menu bar, which takes Escape for itself until Tab moves on; as a
    // shortcut of the dialog, Escape cancels from there too.
    auto* cancel = new QShortcut(QKeySequence::Cancel, dialog);
    cancel->setObjectName(QStringLiteral("escape"));
    QObject::connect(cancel, &QShortcut::activated, dialog, &QDialog::reject);

    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(client);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return close;
}

void MakeFixedDialog(QDialog* dialog, const char* name, const QString& caption)
{
    dialog->setObjectName(QLatin1String(name));
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    UseDesignFont(dialog);
}

void UseDesignFont(QWidget* window)
{
    QFont font = window->font();
    font.setPixelSize(kFontPixels);
    window->setFont(font);
}

}  // namespace grainlink
