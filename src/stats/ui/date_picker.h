#pragma once

#include <QDateTimeEdit>

// A date picker of the analysis and day pages: a date and time, shown as
// dd.mm.yyyy, with a calendar.
inline QDateTimeEdit* makeDatePicker(const QString& name, QWidget* parent)
{
    auto* picker = new QDateTimeEdit(QDateTime::currentDateTime(), parent);
    picker->setObjectName(name);
    picker->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    picker->setCalendarPopup(true);
    return picker;
}
