#pragma once

#include "context/core/prompts.h"

class QWidget;

// Prompts shown with Qt's message boxes and dialogs, owned by the window in
// front.
class QtPrompts : public Prompts {
public:
    void showMessage(Icon icon, const QString& caption, const QString& text) override;
    bool confirm(const QString& text) override;
    std::optional<QString> askText(const QString& caption, const QString& prompt, const QString& initial) override;
    std::optional<QString> chooseFile(const FileRequest& request) override;
};
