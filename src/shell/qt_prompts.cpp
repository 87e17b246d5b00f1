#include "shell/qt_prompts.h"

#include <QApplication>
#include <QFileDialog>
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
    bool ok = false;
    const QString text = QInputDialog::getText(frontWindow(), caption, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
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
