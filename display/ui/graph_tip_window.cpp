#include "display/ui/graph_tip_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "config/graph_tip.h"
#include "widgets/dialog_controls.h"
#include "widgets/role_colours.h"
#include "widgets/twips.h"

namespace grainlink {
namespace {

constexpr int kWidthTwips = 5325;
constexpr int kHeightTwips = 3420;
constexpr int kIconPixels = 32;
constexpr int kIconMargin = 4;
// "Did you know..." starts this far right of the icon rather than where the icon ends.
constexpr int kHeadingAfterIconTwips = 120;

}  // namespace

GraphTipWindow::GraphTipWindow(ConfigFile& config, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_graph_tip"));
    setWindowTitle(QStringLiteral("Tip of the Day"));
    UseDesignFont(this);
    SetFixedTwipsSize(this, kWidthTwips, kHeightTwips);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Picture1"));
    UseRole(panel, ColourRole::Value);
    SetTwipsGeometry(panel, QRect(120, 120, 3735, 2715));

    auto* icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(kIconPixels));
    icon->setGeometry(kIconMargin, kIconMargin, kIconPixels, kIconPixels);

    auto* heading = new QLabel(QStringLiteral("Did you know..."), panel);
    heading->setObjectName(QStringLiteral("Label1"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    SetTwipsGeometry(heading,
                     QRect(540 + kHeadingAfterIconTwips, 180, 3015 - kHeadingAfterIconTwips, 375));

    auto* tip = new QLabel(
        QStringLiteral("To change the amount of data displayed within the table, select "
                       "'options' from the main screen. Data is displayed from the bottom of the "
                       "table (FIFO). All counts are counts per mL."),
        panel);
    tip->setObjectName(QStringLiteral("lblTipText"));
    tip->setWordWrap(true);
    tip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTwipsGeometry(tip, QRect(180, 840, 3255, 1635));

    auto* dontShow = new QCheckBox(QStringLiteral("Dont show again."), this);
    dontShow->setObjectName(QStringLiteral("chk_dontshow"));
    SetTwipsGeometry(dontShow, QRect(120, 2940, 3735, 315));
    connect(dontShow, &QCheckBox::toggled, this,
            [&config](bool ticked) { WriteGraphTipDismissed(config, ticked); });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    SetTwipsGeometry(ok, QRect(4080, 120, 1095, 375));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void ShowGraphTipIfWanted(ConfigFile& config, const char* defaultValue, QWidget* parent)
{
    if (!GraphTipWanted(config, defaultValue)) return;
    GraphTipWindow tip(config, parent);
    tip.exec();
}

}  // namespace grainlink
