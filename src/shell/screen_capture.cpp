#include "shell/screen_capture.h"

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
    // A key typed on the keyboard reaches the window first, once, and is then
    // passed on to the focus widget and maybe its parents; counting it at the
    // window sees every key exactly once, whatever control has the focus.
    if ((event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) || !watched->isWindowType())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F11) {
        if (!key->isAutoRepeat())
            m_f11Down = event->type() == QEvent::KeyPress;
        return false;
    }
    if (event->type() == QEvent::KeyPress && m_f11Down && !key->text().isEmpty() && key->text()[0].isPrint())
        m_capture();
    return false;
}
