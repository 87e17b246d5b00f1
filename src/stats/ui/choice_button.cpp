#include "stats/ui/choice_button.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>

namespace {

// A menu that stays open when a choice is ticked.
class StayOpenMenu : public QMenu {
public:
    using QMenu::QMenu;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QAction* action = activeAction();
        if (action && action->isCheckable() && action->isEnabled()) {
            action->trigger();
            return;
        }
        QMenu::mouseReleaseEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        QAction* action = activeAction();
        const bool select = event->key() == Qt::Key_Space || event->key() == Qt::Key_Return
                            || event->key() == Qt::Key_Enter;
        if (select && action && action->isCheckable() && action->isEnabled()) {
            action->trigger();
            return;
        }
        QMenu::keyPressEvent(event);
    }
};

QList<QAction*> choiceActions(const QMenu* menu)
{
    QList<QAction*> actions;
    for (QAction* a : menu->actions()) {
        if (a->isCheckable())
            actions.append(a);
    }
    return actions;
}

} // namespace

ChoiceButton::ChoiceButton(const QString& name, const QString& title, QWidget* parent)
    : QToolButton(parent)
    , m_title(title)
    , m_menu(new StayOpenMenu(this))
{
    setObjectName(name);
    setPopupMode(QToolButton::InstantPopup);
    setMenu(m_menu);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_menu->setObjectName(name + QStringLiteral("_Menu"));
    QAction* all = m_menu->addAction(QStringLiteral("Отметить все"));
    connect(all, &QAction::triggered, this, [this] {
        tickAll();
        updateText();
        emit takenChanged();
    });
    m_menu->addSeparator();
    updateText();
}

void ChoiceButton::tickAll()
{
    for (QAction* a : choiceActions(m_menu)) {
        const QSignalBlocker block(a);
        a->setChecked(true);
    }
}

void ChoiceButton::addChoice(const QString& label, const QString& value, bool ticked)
{
    QAction* a = m_menu->addAction(label);
    a->setData(value);
    a->setCheckable(true);
    a->setChecked(ticked);
    connect(a, &QAction::toggled, this, [this, a](bool checked) {
        if (!checked) {
            bool any = false;
            for (QAction* other : choiceActions(m_menu))
                any = any || other->isChecked();
            if (!any) { // the last ticked one stays
                const QSignalBlocker block(a);
                a->setChecked(true);
                return;
            }
        }
        updateText();
        emit takenChanged();
    });
}

void ChoiceButton::setChoices(const QList<Choice>& choices)
{
    const QStringList taken = takenValues();
    for (QAction* a : choiceActions(m_menu)) {
        m_menu->removeAction(a);
        a->deleteLater();
    }
    for (const Choice& c : choices)
        addChoice(c.first, c.second, taken.isEmpty() || taken.contains(c.second));
    // A value taken that is no longer among the choices is kept, ticked.
    for (const QString& value : taken) {
        bool present = false;
        for (const Choice& c : choices)
            present = present || c.second == value;
        if (!present)
            addChoice(value.isEmpty() ? QStringLiteral("(нет)") : value, value, true);
    }
    updateText();
}

QStringList ChoiceButton::takenValues() const
{
    QStringList taken;
    bool all = true;
    for (QAction* a : choiceActions(m_menu)) {
        if (a->isChecked())
            taken.append(a->data().toString());
        else
            all = false;
    }
    return all ? QStringList() : taken;
}

void ChoiceButton::setTakenValues(const QStringList& values)
{
    if (values.isEmpty()) {
        tickAll();
        updateText();
        return;
    }
    for (const QString& v : values) {
        bool present = false;
        for (QAction* a : choiceActions(m_menu))
            present = present || a->data().toString() == v;
        if (!present)
            addChoice(v.isEmpty() ? QStringLiteral("(нет)") : v, v, true);
    }
    for (QAction* a : choiceActions(m_menu)) {
        const QSignalBlocker block(a);
        a->setChecked(values.contains(a->data().toString()));
    }
    updateText();
}

void ChoiceButton::updateText()
{
    const QList<QAction*> actions = choiceActions(m_menu);
    QStringList labels;
    for (QAction* a : actions) {
        if (a->isChecked())
            labels.append(a->text());
    }
    QString what;
    if (labels.size() == actions.size())
        what = QStringLiteral("все");
    else if (labels.size() <= 2)
        what = labels.join(QStringLiteral(", "));
    else
        what = QStringLiteral("%1 из %2").arg(labels.size()).arg(actions.size());
    setText(m_title + QStringLiteral(": ") + what);
}
