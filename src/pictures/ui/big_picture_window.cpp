#include "pictures/ui/big_picture_window.h"

#include "pictures/core/drawing_tool.h"
#include "pictures/ui/picture_surface.h"

#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TFm_All::TFm_All(DrawingTool& tool, Prompts& prompts, QWidget* parent)
    : QDialog(parent)
    , m_tool(tool)
{
    setObjectName(QStringLiteral("TFm_All"));
    setWindowTitle(QStringLiteral("Большой график"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QToolBar(this);
    ToolButton5 = new QToolButton(bar);
    ToolButton5->setObjectName(QStringLiteral("ToolButton5"));
    ToolButton5->setText(QStringLiteral("Рисовать"));
    ToolButton5->setToolTip(QStringLiteral("Рисовать"));
    ToolButton5->setCheckable(true);
    ToolButton6 = new QToolButton(bar);
    ToolButton6->setObjectName(QStringLiteral("ToolButton6"));
    ToolButton6->setText(QStringLiteral("Текст"));
    ToolButton6->setToolTip(QStringLiteral("Вывести текст"));
    bar->addWidget(ToolButton5);
    bar->addWidget(ToolButton6);
    layout->addWidget(bar);
    Image1 = new PictureSurface(PictureSurface::Kind::BigPicture, QStringLiteral("Image1"), tool, prompts, this);
    Image1->setDrawButton(ToolButton5);
    layout->addWidget(Image1, 1);

    // The button shows what the click chose; the tool keeps the mode.
    connect(ToolButton5, &QToolButton::clicked, this, [this] { ToolButton5->setChecked(m_tool.toggleBigDraw()); });
    connect(ToolButton6, &QToolButton::clicked, this, [this] { m_tool.toggleBigText(); });
}

void TFm_All::openChart(PictureSurface& chart, ColorBox* colourBox)
{
    m_chart = &chart;
    Image1->setColourBox(colourBox);
    Image1->setPicture(chart.picture());
    showMaximized();
}

void TFm_All::showChart(PictureSurface& chart, ColorBox* colourBox)
{
    openChart(chart, colourBox);
    exec();
}

void TFm_All::done(int result)
{
    m_tool.bigWindowClosed();
    if (m_chart) {
        const bool changed = Image1->isModified();
        m_chart->setPicture(Image1->picture());
        m_chart->setModified(changed || m_chart->isModified());
        m_chart = nullptr;
    }
    QDialog::done(result);
}
