#include "app/ui/screen_capture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPixmap>
#include <QScreen>

ScreenCaptureFilter::ScreenCaptureFilter(Capture capture, QObject* parent)
    : QObject(parent)
    , m_capture(std::move(capture))
{
}

void ScreenCaptureFilter::captureScreenToClipboard()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QPixmap shot = screen->grabWindow(0);
    if (!shot.isNull())
        QGuiApplication::clipboard()->setImage(shot.toImage());
}

bool ScreenCaptureFilter::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) || !watched->isWidgetType())
        return false;
    // A key the focus widget ignores travels on to its parents as the same
    // event; it is one key press all the same.
    auto* key = static_cast<QKeyEvent*>(event);
    if (key == m_lastEvent && key->timestamp() == m_lastTimestamp)
        return false;
    m_lastEvent = key;
    m_lastTimestamp = key->timestamp();
    if (key->key() == Qt::Key_F11) {
        if (!key->isAutoRepeat())
            m_f11Down = event->type() == QEvent::KeyPress;
        return false;
    }
    if (event->type() == QEvent::KeyPress && m_f11Down && !key->text().isEmpty() && key->text()[0].isPrint())
        m_capture();
    return false;
}
