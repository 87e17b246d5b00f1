#include "app/core/prompts.h"

#include "db/core/sqlite_database.h"

void reportError(Prompts& prompts, const std::exception& error)
{
    if (const auto* db = dynamic_cast<const ESQLiteException*>(&error))
        reportError(prompts, db->message());
    else
        reportError(prompts, QString::fromUtf8(error.what()));
}

void reportError(Prompts& prompts, const QString& text)
{
    prompts.showMessage(Prompts::Icon::Error, applicationTitle(), text);
}
