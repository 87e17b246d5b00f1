#pragma once

#include <QDateTimeEdit>

// A date picker of the analysis and day pages: a date and time, shown as
// dd.mm.yyyy, with a calendar. Digits typed over a part of the date replace
// that part, wherever the cursor stands in it.
class DatePicker : public QDateTimeEdit {
    Q_OBJECT
public:
    explicit DatePicker(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

inline QDateTimeEdit* makeDatePicker(const QString& name, QWidget* parent)
{
    auto* picker = new DatePicker(parent);
    picker->setObjectName(name);
    return picker;
}
