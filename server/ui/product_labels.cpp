#include "server/ui/product_labels.h"

#include <QLabel>
#include <QPixmap>

namespace grainlink {
namespace {

constexpr double kHeadingScale = 1.5;

QLabel* MakeNamedLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAccessibleName(QString::fromLatin1(name));
    return label;
}

}  // namespace

QLabel* MakeProductLabel(const char* name, const QString& text, QWidget* parent)
{
    QLabel* label = MakeNamedLabel(name, parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setAccessibleDescription(text);
    return label;
}

QLabel* MakePictureLabel(const char* name, const QPixmap& picture, QWidget* parent)
{
    QLabel* label = MakeNamedLabel(name, parent);
    label->setPixmap(picture);
    label->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    return label;
}

QLabel* MakeProductHeading(const char* name, const QString& text, QWidget* parent)
{
    QLabel* label = MakeProductLabel(name, text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * kHeadingScale);
    label->setFont(font);
    label->setWordWrap(true);
    return label;
}

}  // namespace grainlink
