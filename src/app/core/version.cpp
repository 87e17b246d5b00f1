#include "app/core/version.h"

#include "app/core/prompts.h"

// TJ_VERSION comes from CMake's PROJECT_VERSION, so a release changes the
// number in one place.
QString applicationVersion()
{
    return QStringLiteral(TJ_VERSION);
}

QString applicationTitleWithVersion()
{
    return applicationTitle() + u' ' + applicationVersion();
}
