#pragma once

#include "journal/core/reference_lists.h"
#include "journal/core/trade_journal_store.h"

#include <QDate>
#include <QDialog>

#include <optional>

class Journal;
class Prompts;
class QComboBox;
class QGroupBox;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TFm_Sprav;

// The annotation dialog "Анализ сделки": the trader's notes on one trade, or
// a trade made by hand before the position exists in the terminal.
class TForm_Add : public QDialog {
    Q_OBJECT
public:
    TForm_Add(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    // Opens the trade for editing (modal). Returns false, showing nothing,
    // when the trade does not exist (any more).
    bool openForEdit(const QString& id);
    // Opens an empty dialog for a new trade of the active account (modal).
    void openForNewTrade();
    // Fills the five list fields from the reference lists of the journal.
    void refillListFields();

    bool isNewTradeMode() const { return m_newTrade; }
    const QString& tradeId() const { return m_id; }
    TradeAnnotation fields() const;
    // The prices, times and results typed in new-trade mode, as typed.
    HandTrade tradeFields() const;
    // The day the last saved trade opened on, when it was entered by hand
    // with its open time; invalid otherwise.
    QDate savedTradeDay() const { return m_savedDay; }

    void BitBtn1Click(); // save
    void ratingHelp();
    void pointsHelp();
    // Opens the list editor for a list (the buttons beside the list fields).
    void openListEditor(ListId id);
    TFm_Sprav* listEditor() const { return m_editor; }

signals:
    // The trade was written; the views are rebuilt (for a new trade the
    // analysis also jumps to today).
    void saved(bool newTrade);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLayout* makeTicketPart();
    QGroupBox* makeTradeGroup();
    // The typed trade in its stored form; a message names the first field
    // that does not read (or a missing profit) and gives nothing.
    std::optional<HandTrade> readTradeFields();
    void makeAnnotationFields(QWidget* group);
    QGroupBox* makeAnnotationGroup();
    QLayout* makeButtonRow();
    void setTabOrderOfLayout();
    QComboBox* listField(ListId id) const;
    void setFields(const TradeAnnotation& a);
    void clearAll();
    void setRating(const QString& rating);
    void setMode(bool newTrade);
    void fitToScreen();
    void onListSaved(const QString& listName, const QStringList& entries, const QString& selected);

    QLineEdit* Edit_Ticket = nullptr;
    QComboBox* ComboBox_Time = nullptr;
    QComboBox* ComboBox_Trend = nullptr;
    QComboBox* ComboBox_Enter = nullptr;
    QPlainTextEdit* Memo_Enter = nullptr;
    QComboBox* ComboBox_Exit = nullptr;
    QPlainTextEdit* Memo_Exit = nullptr;
    QLineEdit* Edit_Nedobral = nullptr;
    QLineEdit* Edit_Spas = nullptr;
    QComboBox* ComboBox_Erorr = nullptr;
    QComboBox* ComboBox_Psixo = nullptr;
    QPlainTextEdit* Edit_Comment = nullptr;
    QComboBox* ComboBox_Ocenka = nullptr;
    // "Сделка": a trade entered by hand (new-trade mode only).
    QGroupBox* GroupBox_Trade = nullptr;
    QLineEdit* Edit_Symbol = nullptr;
    QComboBox* ComboBox_Type = nullptr;
    QLineEdit* Edit_Size = nullptr;
    QLineEdit* Edit_OpenTime = nullptr;
    QLineEdit* Edit_CloseTime = nullptr;
    QLineEdit* Edit_PriceOpen = nullptr;
    QLineEdit* Edit_PriceClose = nullptr;
    QLineEdit* Edit_SL = nullptr;
    QLineEdit* Edit_TP = nullptr;
    QLineEdit* Edit_Commission = nullptr;
    QLineEdit* Edit_Swap = nullptr;
    QLineEdit* Edit_Profit = nullptr;
    QList<QWidget*> m_tradeOrder; // the trade's fields as the rows show them
    QPushButton* BitBtn1 = nullptr; // save
    QPushButton* BitBtn2 = nullptr; // cancel

    Journal& m_journal;
    Prompts& m_prompts;
    TFm_Sprav* m_editor = nullptr;
    QList<QWidget*> m_fieldOrder; // the fields and their buttons as the rows show them
    bool m_newTrade = true;
    QDate m_savedDay;
    QString m_id;
};

// "Удалить сделку": asks, then deletes the trade's row. Returns true when
// the trade was deleted and the views must be rebuilt.
bool deleteTrade(Journal& journal, Prompts& prompts, const QString& id);
