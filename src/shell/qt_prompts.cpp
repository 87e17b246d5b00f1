#include "shell/qt_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QWidget* frontWindow()
{
    if (QWidget* w = QApplication::activeModalWidget())
        return w;
    return QApplication::activeWindow();
}

// An input box wide enough for its whole title: the window frame's buttons
// and margins take about as much again as a short title's text.
std::optional<QString> askTextWithWholeTitle(QWidget* parent, const QString& caption, const QString& prompt,
                                             const QString& initial)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    dialog.setInputMode(QInputDialog::TextInput);
    const QFontMetrics title(QApplication::font("QMdiSubWindowTitleBar"));
    constexpr int kFrameButtons = 160;
    // (The box's layout sets its minimum size when shown; a size given
    // before that is kept.)
    dialog.resize(std::max(dialog.sizeHint().width(), title.horizontalAdvance(caption) + kFrameButtons),
                  dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

} // namespace

void QtPrompts::showMessage(Icon icon, const QString& caption, const QString& text)
{
    QMessageBox::Icon qicon = QMessageBox::Information;
    if (icon == Icon::Warning)
        qicon = QMessageBox::Warning;
    else if (icon == Icon::Error)
        qicon = QMessageBox::Critical;
    QMessageBox box(qicon, caption, text, QMessageBox::Ok, frontWindow());
    box.exec();
}

bool QtPrompts::confirm(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Подтверждение"), text, QMessageBox::Yes | QMessageBox::No,
                    frontWindow());
    box.setDefaultButton(QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtPrompts::askText(const QString& caption, const QString& prompt, const QString& initial)
{
    return askTextWithWholeTitle(frontWindow(), caption, prompt, initial);
}

std::optional<QString> QtPrompts::chooseFile(const FileRequest& request)
{
    const QString filter = request.filters.join(QStringLiteral(";;"));
    const QString file = request.save
        ? QFileDialog::getSaveFileName(frontWindow(), request.caption, request.directory, filter)
        : QFileDialog::getOpenFileName(frontWindow(), request.caption, request.directory, filter);
    if (file.isEmpty())
        return std::nullopt;
    return file;
}
