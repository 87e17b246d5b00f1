#pragma once

#include <QObject>

#include <functional>

// F11 held with a character key puts a picture of the whole screen on the
// clipboard. Installed on the application, so it sees every key before the
// focused control; the key itself still reaches the control.
class ScreenCaptureFilter : public QObject {
    Q_OBJECT
public:
    using Capture = std::function<void()>;
    explicit ScreenCaptureFilter(Capture capture = captureScreenToClipboard, QObject* parent = nullptr);

    static void captureScreenToClipboard();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Capture m_capture;
    bool m_f11Down = false;
};
