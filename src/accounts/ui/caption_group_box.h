#pragma once

#include <QGroupBox>

// A group box whose caption is bold and has a colour of its own, while the
// controls inside keep the page's font and colours.
class CaptionGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit CaptionGroupBox(QWidget* parent = nullptr);

    void setCaption(const QString& caption, const QColor& color);
    QColor captionColor() const { return m_color; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
};
