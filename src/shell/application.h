#pragma once

#include <QApplication>

class Prompts;

// The application object: the one catch point of failures that no command
// caught. Such a failure ends the current command and is shown with its text.
class JournalApplication : public QApplication {
    Q_OBJECT
public:
    JournalApplication(int& argc, char** argv);
    void setPrompts(Prompts* prompts) { m_prompts = prompts; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    Prompts* m_prompts = nullptr;
};

// Qt's own Russian texts (file dialogs, the context menus of text fields,
// message box buttons); false when they are not installed.
bool installQtTranslation(QCoreApplication& app);
