#include "context/core/prompts.h"

#include "db/core/reasons.h"

void reportError(Prompts& prompts, const std::exception& error)
{
    // The program's exceptions carry their message as UTF-8 in what().
    reportError(prompts, QString::fromUtf8(error.what()));
}

void reportError(Prompts& prompts, const QString& text)
{
    prompts.showMessage(Prompts::Icon::Error, applicationTitle(), withRussianReasons(text));
}
