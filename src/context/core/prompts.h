#pragma once

#include <QString>
#include <QStringList>

#include <exception>
#include <optional>

// Every message box, confirmation, input box and file dialog of the program
// goes through this interface. The window uses the Qt implementation; tests
// use a scripted one.
class Prompts {
public:
    enum class Icon { Information, Warning, Error };

    struct FileRequest {
        QString caption;
        QStringList filters; // "Описание (*.htm *.html)" form, first is selected
        QString directory;
        bool save = false; // a file to write (asks before replacing one)
    };

    virtual ~Prompts() = default;
    virtual void showMessage(Icon icon, const QString& caption, const QString& text) = 0;
    // Yes/No, caption "Подтверждение", warning icon, "No" the default.
    virtual bool confirm(const QString& text) = 0;
    virtual std::optional<QString> askText(const QString& caption, const QString& prompt, const QString& initial) = 0;
    virtual std::optional<QString> chooseFile(const FileRequest& request) = 0;
};

// The caption of the general error report: the application title.
inline QString applicationTitle() { return QStringLiteral("Журнал сделок Орвинта"); }
inline QString errorCaption() { return QStringLiteral("Ошибка"); }

// The general error report: a failure no command caught, shown with its text.
void reportError(Prompts& prompts, const std::exception& error);
void reportError(Prompts& prompts, const QString& text);
