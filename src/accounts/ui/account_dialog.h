#pragma once

#include "db/core/records.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// A small up/down arrow pair beside a number field.
class UpDownButtons : public QWidget {
    Q_OBJECT
public:
    explicit UpDownButtons(QWidget* parent = nullptr);
    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    // +1 for up, -1 for down.
    void stepped(int direction);

private:
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
};

// The account dialog "Управление счетом", created once and reused for adding
// and editing. It only collects the texts: the account page stores them and
// closes the dialog when that worked, so a failed save keeps what was typed.
class TFm_Add_Schet : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Edit };

    explicit TFm_Add_Schet(QWidget* parent = nullptr);

    Mode mode() const { return m_mode; }
    // Empty fields, capital 0, no type; the state stays as last left.
    void prepareAdd();
    // The fields of the stored account, when it was found.
    void prepareEdit(const std::optional<AccountRecord>& account);
    // The typed texts (the id stays empty).
    AccountRecord fields() const;
    // The name field takes the focus (after a refused name).
    void focusName();

signals:
    // The save button was pressed; the receiver closes the dialog on success.
    void saveRequested();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields();
    void step(int direction);

    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit_Name = nullptr;
    QLineEdit* Edit_kapital = nullptr;
    UpDownButtons* UpDown1 = nullptr;
    QComboBox* ComboBox_Type = nullptr;
    QComboBox* ComboBox_Sost = nullptr;
    QLineEdit* Edit_broker = nullptr;
    QLineEdit* Edit_Valuta = nullptr; // the account's currency code; empty until known
    QPlainTextEdit* Edit_Opis = nullptr;
    QPushButton* BitBtn1 = nullptr; // "Добавить" or "Сохранить"
    QPushButton* Button2 = nullptr; // "Отмена"

    Mode m_mode = Mode::Add;
};
