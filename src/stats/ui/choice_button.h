#pragma once

#include <QPair>
#include <QStringList>
#include <QToolButton>

class QMenu;

// A button of the filter bar that opens a list of choices to tick, the
// list staying open while the trader ticks. Its text says what is taken:
// "Дни: все", "Дни: Пн, Вт", "Символы: 3 из 8". At least one choice stays
// ticked: a filter that takes no value of a field would be a mistake, not
// a what-if.
class ChoiceButton : public QToolButton {
    Q_OBJECT
public:
    using Choice = QPair<QString, QString>; // label, value

    ChoiceButton(const QString& name, const QString& title, QWidget* parent = nullptr);

    // Replaces the choices; the values ticked before stay ticked, new ones
    // are ticked when every one was.
    void setChoices(const QList<Choice>& choices);
    // The ticked values; empty when every one is ticked (no restriction).
    QStringList takenValues() const;
    // Ticks the values given, every one for an empty list. Values that are
    // not among the choices are added, so a filter kept from an earlier run
    // shows what it takes.
    void setTakenValues(const QStringList& values);
    QMenu* choicesMenu() const { return m_menu; }

signals:
    void takenChanged();

private:
    void addChoice(const QString& label, const QString& value, bool ticked);
    void updateText();
    void tickAll();

    QString m_title;
    QMenu* m_menu;
};
