#pragma once

// The window "Большой график" (`TFm_All`): the notebook chart at natural
// size in a maximised modal window, to be marked up in more room. Its own
// draw and text buttons; the pen is 3 pixels wide in the colour of the
// chart's colour box. Esc closes it; on closing the chart takes its picture
// (nothing is stored until the chart is saved) and the tool goes back to
// "Двигать".

#include <QDialog>

class ColorBox;
class DrawingTool;
class PictureSurface;
class Prompts;
class QToolButton;

class TFm_All : public QDialog {
    Q_OBJECT
public:
    TFm_All(DrawingTool& tool, Prompts& prompts, QWidget* parent = nullptr);

    // Opens the window over a copy of the chart's picture, drawing in the
    // colour of `colourBox`; returns when it closes, the chart then holding
    // the window's picture.
    void showChart(PictureSurface& chart, ColorBox* colourBox);
    // The same without waiting (the window is modal all the same).
    void openChart(PictureSurface& chart, ColorBox* colourBox);

    void done(int result) override;

private:
    QToolButton* ToolButton5 = nullptr; // "Рисовать"
    QToolButton* ToolButton6 = nullptr; // "Вывести текст"
    PictureSurface* Image1 = nullptr;

    DrawingTool& m_tool;
    PictureSurface* m_chart = nullptr;
};
