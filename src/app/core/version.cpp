#include "app/core/version.h"

// TJ_VERSION comes from CMake's PROJECT_VERSION, so a release changes the
// number in one place.
QString applicationVersion()
{
    return QStringLiteral(TJ_VERSION);
}

QString applicationTitle()
{
    return QStringLiteral("Журнал сделок Орвинта ") + applicationVersion();
}
