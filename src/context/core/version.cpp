#include "context/core/version.h"

#include "context/core/prompts.h"

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
