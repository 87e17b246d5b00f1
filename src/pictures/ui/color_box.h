#pragma once

#include <QComboBox>
#include <QColor>

// A choice of the sixteen standard colours, each shown with its swatch: the
// pen and text colour of a picture surface.
class ColorBox : public QComboBox {
    Q_OBJECT
public:
    explicit ColorBox(const QString& objectName, QWidget* parent = nullptr);
    QColor selectedColour() const;
    // Selects the colour when the box offers it.
    void selectColour(const QColor& colour);
};
