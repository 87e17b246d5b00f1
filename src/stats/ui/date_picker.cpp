#include "stats/ui/date_picker.h"

#include <QKeyEvent>
#include <QLineEdit>

DatePicker::DatePicker(QWidget* parent)
    : QDateTimeEdit(QDateTime::currentDateTime(), parent)
{
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    setCalendarPopup(true);
}

void DatePicker::keyPressEvent(QKeyEvent* event)
{
    // The field always holds a whole date. A digit typed with the cursor in
    // a part that is already whole (after a click into the field, or Home)
    // would make it one digit too long, and the field refused it: the date
    // could only be changed with the arrow keys. Selecting that part first
    // lets the digit start it anew, as in the date pickers of other
    // programs. A part being typed (the "1" of "15") is left to grow.
    const QString text = event->text();
    if (text.size() == 1 && text.front().isDigit() && !lineEdit()->hasSelectedText()) {
        const Section part = currentSection();
        const qsizetype whole = part == YearSection ? 4 : 2;
        if (part != NoSection && sectionText(part).size() >= whole)
            setSelectedSection(part);
    }
    QDateTimeEdit::keyPressEvent(event);
}
