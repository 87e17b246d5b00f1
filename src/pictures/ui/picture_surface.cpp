#include "pictures/ui/picture_surface.h"

#include "context/core/prompts.h"
#include "db/core/reasons.h"
#include "db/core/safe_file.h"
#include "pictures/core/drawing_tool.h"
#include "pictures/core/picture_geometry.h"
#include "pictures/core/png_file.h"
#include "pictures/ui/clipboard_picture.h"
#include "pictures/ui/color_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStandardPaths>
#include <QWheelEvent>

#include <cmath>

namespace {

// Tahoma 16 pt at the 96 dots per inch the pictures are made for.
constexpr int kTextPixelSize = 21;
constexpr int kBigWindowPenWidth = 3;

} // namespace

PictureSurface::PictureSurface(Kind kind, const QString& objectName, DrawingTool& tool, Prompts& prompts,
                               QWidget* parent)
    : QWidget(parent)
    , m_kind(kind)
    , m_tool(tool)
    , m_prompts(prompts)
{
    setObjectName(objectName);
    setAcceptDrops(true);
    setFocusPolicy(Qt::ClickFocus); // so that Ctrl+V reaches the page it is on
    setCursor(Qt::ArrowCursor);
    m_menu = new QMenu(this);
    connect(m_menu->addAction(QStringLiteral("Скопировать в буфер")), &QAction::triggered, this,
            &PictureSurface::copyToClipboard);
    connect(m_menu->addAction(QStringLiteral("Сохранить как PNG…")), &QAction::triggered, this,
            &PictureSurface::savePngAs);
}

void PictureSurface::setPicture(const QImage& image)
{
    m_picture = image;
    if (!m_picture.isNull() && m_picture.format() != QImage::Format_RGB32)
        m_picture = m_picture.convertToFormat(QImage::Format_RGB32);
    m_modified = false;
    if (m_kind == Kind::ChartPicture)
        resize(m_picture.size());
    update();
    emit pictureChanged();
}

void PictureSurface::removePicture()
{
    m_picture = QImage();
    m_modified = false;
    update();
    emit pictureChanged();
}

void PictureSurface::blankPicture()
{
    QImage blank(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    blank.fill(Qt::white);
    m_picture = blank;
    m_modified = false;
    update();
    emit pictureChanged();
}

void PictureSurface::pasteAsPicture(const QImage& image)
{
    setPicture(image);
    setGeometry(QRect(QPoint(0, 0), image.size()));
}

void PictureSurface::pasteIntoChart(const QImage& image)
{
    setPicture(image);
    resize(image.size());
}

double PictureSurface::scale() const
{
    if (m_kind == Kind::BigPicture || m_picture.isNull())
        return 1.0;
    return picturegeom::shownScale(m_picture.size(), size());
}

void PictureSurface::zoomAround(double factor, QPointF pivot)
{
    if (!hasPicture() || m_kind == Kind::BigPicture || !parentWidget())
        return;
    const QRect bounds =
        picturegeom::zoomedAround(geometry(), m_picture.size(), factor, pivot, parentWidget()->size());
    if (bounds == geometry())
        return;
    setGeometry(bounds);
    update();
    emit zoomed();
}

QPointF PictureSurface::viewCentre() const
{
    return parentWidget() ? QRectF(parentWidget()->rect()).center() : QRectF(rect()).center();
}

void PictureSurface::zoomIn() { zoomAround(picturegeom::kZoomStep, viewCentre()); }

void PictureSurface::zoomOut() { zoomAround(1.0 / picturegeom::kZoomStep, viewCentre()); }

void PictureSurface::copyToClipboard() const
{
    if (hasPicture())
        putImageOnClipboard(m_picture);
}

void PictureSurface::savePngAs()
{
    if (!hasPicture())
        return;
    Prompts::FileRequest request;
    request.caption = QStringLiteral("Сохранить как PNG");
    request.filters = QStringList{QStringLiteral("Рисунок PNG (*.png)")};
    request.directory = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    request.save = true;
    std::optional<QString> file = m_prompts.chooseFile(request);
    if (!file || file->isEmpty())
        return;
    if (!file->endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        *file += QStringLiteral(".png");
    try {
        writePngFile(*file, m_picture);
    } catch (const FileWriteError& e) {
        // The file as it was, if there was one, stays: the PNG is written whole or not at all.
        m_prompts.showMessage(Prompts::Icon::Error, errorCaption(),
                              QStringLiteral("Рисунок не сохранен.\n") + withRussianReasons(e.message()));
    }
}

bool PictureSurface::drawButtonDown() const
{
    if (m_kind == Kind::BigPicture)
        return m_drawButton && m_drawButton->isChecked();
    return m_tool.drawButtonDown();
}

QColor PictureSurface::penColour() const { return m_colourBox ? m_colourBox->selectedColour() : QColor(Qt::black); }

std::optional<QPoint> PictureSurface::toPicture(QPoint point) const
{
    const double s = scale();
    if (s == 1.0)
        return point;
    if (s <= 0 || m_picture.width() <= 0)
        return std::nullopt;
    return picturegeom::toPicturePixel(point, s);
}

QRect PictureSurface::toSurface(const QRect& pictureRect) const
{
    const double s = scale();
    if (s == 1.0)
        return pictureRect;
    return QRectF(pictureRect.x() * s, pictureRect.y() * s, pictureRect.width() * s, pictureRect.height() * s)
        .toAlignedRect()
        .adjusted(-1, -1, 1, 1);
}

void PictureSurface::ensurePicture()
{
    if (m_picture.isNull())
        blankPicture();
}

void PictureSurface::markModified()
{
    const bool first = !m_modified;
    m_modified = true;
    if (first)
        emit modified();
}

void PictureSurface::startStroke(QPoint point)
{
    m_penColour = penColour();
    if (m_kind == Kind::BigPicture) {
        m_penWidth = kBigWindowPenWidth;
    } else {
        const std::optional<int> width = m_tool.penWidth();
        if (!width) {
            m_prompts.showMessage(Prompts::Icon::Error, errorCaption(),
                                  QStringLiteral("'%1' is not a valid integer value").arg(m_tool.penWidthText()));
            return;
        }
        m_penWidth = qBound(1, *width, 99);
    }
    if (m_kind == Kind::TradePicture && (m_picture.isNull() ? width() : m_picture.width()) <= 0)
        return;
    ensurePicture();
    const std::optional<QPoint> at = toPicture(point);
    if (!at)
        return;
    m_penPos = *at;
    m_tool.stroking = true;
}

void PictureSurface::stampText(QPoint point)
{
    const QColor colour = penColour();
    const std::optional<QString> text =
        m_prompts.askText(QStringLiteral("Введите текст"), QStringLiteral("Текст"), QString());
    if (!text || text->isEmpty())
        return;
    ensurePicture();
    // Its top-left corner on the picture pixel under the pointer, at every zoom.
    const QPoint at = toPicture(point).value_or(point);
    QPainter painter(&m_picture);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(kTextPixelSize);
    painter.setFont(font);
    painter.setPen(colour);
    const QRect area(at, QSize(m_picture.width() + 1, m_picture.height() + 1));
    QRect drawn;
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, *text, &drawn);
    painter.end();
    markModified();
    update(toSurface(drawn));
}

void PictureSurface::paintEvent(QPaintEvent* event)
{
    if (m_picture.isNull())
        return; // the container's caption shows through
    QPainter painter(this);
    const QRect exposed = event->rect();
    const double s = scale();
    if (s == 1.0) {
        painter.drawImage(exposed.topLeft(), m_picture, exposed);
        return;
    }
    // Only the picture pixels under the exposed part, so that a deep zoom
    // costs no more than the view it fills.
    const QRectF source = QRectF(exposed.x() / s, exposed.y() / s, exposed.width() / s, exposed.height() / s)
                              .adjusted(-1, -1, 1, 1)
                              .intersected(QRectF(m_picture.rect()));
    if (source.isEmpty())
        return;
    if (s < 1.0)
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setClipRect(exposed);
    painter.drawImage(QRectF(source.x() * s, source.y() * s, source.width() * s, source.height() * s), m_picture,
                      source);
}

void PictureSurface::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (drawButtonDown())
        m_tool.setMode(DrawingTool::Mode::Draw);
    const bool drawingButton = event->button() == Qt::LeftButton
        || (event->button() == Qt::MiddleButton && m_kind != Kind::TradePicture);
    if (drawingButton) {
        if (m_tool.mode() == DrawingTool::Mode::Draw)
            startStroke(point);
        else if (m_tool.mode() == DrawingTool::Mode::Text)
            stampText(point);
    } else if (event->button() == Qt::RightButton) {
        m_tool.dragAnchor = point;
        m_tool.setMode(DrawingTool::Mode::Move);
        setCursor(Qt::SizeAllCursor);
        m_rightPress = event->globalPosition().toPoint();
        m_panned = false;
    }
    event->accept();
}

void PictureSurface::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (m_tool.stroking && m_tool.mode() == DrawingTool::Mode::Draw && !m_picture.isNull()) {
        if (const std::optional<QPoint> to = toPicture(point)) {
            QPainter painter(&m_picture);
            QPen pen(m_penColour, m_penWidth, m_penWidth <= 1 ? Qt::DashLine : Qt::SolidLine, Qt::RoundCap,
                     Qt::RoundJoin);
            painter.setPen(pen);
            painter.drawLine(m_penPos, *to);
            painter.end();
            const int margin = m_penWidth / 2 + 2;
            update(toSurface(QRect(m_penPos, *to).normalized().adjusted(-margin, -margin, margin, margin)));
            m_penPos = *to;
            markModified();
        }
    }
    if ((event->buttons() & Qt::RightButton) && m_kind != Kind::BigPicture && parentWidget()) {
        const QRect panned = picturegeom::pannedBounds(geometry(), point, m_tool.dragAnchor, parentWidget()->size());
        if (panned != geometry()) {
            setGeometry(panned);
            m_panned = true;
        }
    }
    event->accept();
}

void PictureSurface::mouseReleaseEvent(QMouseEvent* event)
{
    m_tool.stroking = false;
    setCursor(Qt::ArrowCursor);
    const bool menu = event->button() == Qt::RightButton && !m_panned
        && (event->globalPosition().toPoint() - m_rightPress).manhattanLength() < 4;
    emit released();
    if (menu && hasPicture())
        m_menu->popup(event->globalPosition().toPoint());
    event->accept();
}

void PictureSurface::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    event->accept();
}

void PictureSurface::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier) || m_kind == Kind::BigPicture || !hasPicture()) {
        // The container scrolls (told here, as Qt passes on only the wheel
        // events that come from the system).
        event->ignore();
        if (parentWidget())
            QApplication::sendEvent(parentWidget(), event);
        return;
    }
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0)
        zoomAround(std::pow(picturegeom::kZoomStep, notches), mapToParent(event->position()));
    event->accept();
}

void PictureSurface::dragEnterEvent(QDragEnterEvent* event)
{
    if (mimeDataOffersImage(event->mimeData()))
        event->acceptProposedAction();
}

void PictureSurface::dropEvent(QDropEvent* event)
{
    const QImage image = imageFromMimeData(event->mimeData());
    if (image.isNull()) {
        m_prompts.showMessage(Prompts::Icon::Error, errorCaption(), QStringLiteral("Не удалось прочитать рисунок."));
        return;
    }
    event->acceptProposedAction();
    emit imageDropped(image);
}
