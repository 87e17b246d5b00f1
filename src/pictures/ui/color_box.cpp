#include "pictures/ui/color_box.h"

#include <QPixmap>

namespace {

struct NamedColour {
    const char* name;
    QRgb rgb;
};

const NamedColour kColours[] = {
    {"Черный", 0x000000}, {"Бордовый", 0x800000}, {"Зеленый", 0x008000}, {"Оливковый", 0x808000},
    {"Темно-синий", 0x000080}, {"Фиолетовый", 0x800080}, {"Сине-зеленый", 0x008080}, {"Серый", 0x808080},
    {"Серебристый", 0xC0C0C0}, {"Красный", 0xFF0000}, {"Салатовый", 0x00FF00}, {"Желтый", 0xFFFF00},
    {"Синий", 0x0000FF}, {"Розовый", 0xFF00FF}, {"Голубой", 0x00FFFF}, {"Белый", 0xFFFFFF},
};

} // namespace

ColorBox::ColorBox(const QString& objectName, QWidget* parent)
    : QComboBox(parent)
{
    setObjectName(objectName);
    for (const NamedColour& c : kColours) {
        QPixmap swatch(14, 14);
        swatch.fill(QColor(c.rgb));
        addItem(QIcon(swatch), QString::fromUtf8(c.name), QColor(c.rgb));
    }
    setCurrentIndex(0);
}

QColor ColorBox::selectedColour() const { return currentData().value<QColor>(); }

void ColorBox::selectColour(const QColor& colour)
{
    const int index = findData(colour);
    if (index >= 0)
        setCurrentIndex(index);
}
