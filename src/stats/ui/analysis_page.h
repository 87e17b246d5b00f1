#pragma once

#include <QDate>
#include <QWidget>

class AnalysisModel;
struct DateState;
class Journal;
class Prompts;
class QDateTimeEdit;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableView;
class TradePicturesPanel;

// The page "Анализ": the trades of a range of days with their annotations
// and a total line; from here the trader opens a trade to annotate it.
class AnalysisPage : public QWidget {
    Q_OBJECT
public:
    AnalysisPage(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    // State kept from run to run: the layout of the grid (txt/
    // StringGrid_Analiz.txt) and the period, dates 0 and 1 of date.txt.
    void restoreGridLayout();
    void saveGridLayout() const;
    void restoreDates(const DateState& state);
    void saveDates(QDate (&dates)[4]) const;

    // "Отфильтровать": lists the trades of the chosen range.
    void runPeriodAnalysis();
    // Shows one day: the range from the day to the next day.
    void showDay(const QDate& day);
    // Shows the trades opened from the start of `from` up to, not
    // including, the day `to`.
    void showRange(const QDate& from, const QDate& to);
    // The trades of today: from now to the same time tomorrow.
    void showToday();
    void Button1Click() { showToday(); } // "Сегодня"
    void BitBtn8Click();  // back
    void BitBtn9Click();  // forward
    // Tells which trade is selected again, so that the lower half shows its
    // pictures (run on entering the page).
    void reselectTrade();
    // The selection of the table changed.
    void StringGrid_AnalizClick() { reselectTrade(); }
    // The trade id of the selected row, empty when none.
    QString selectedTradeId() const;
    // Writes the strokes of the trade picture not yet written (when the
    // trader leaves the page or closes the program).
    void writePendingPicture();
    const AnalysisModel& model() const { return *m_model; }

signals:
    // A double-click on a trade: open the annotation dialog for it.
    void editTradeRequested(const QString& id);
    void newTradeRequested();
    void deleteTradeRequested(const QString& id);
    // The selected trade, whose pictures the lower half shows.
    void tradeSelected(const QString& id, int row);
    // A pen colour was chosen on the trade picture.
    void penColourChosen();

private:
    QWidget* makeTopPanel();
    QTableView* makeGrid();
    QWidget* makeLowerHalf();
    QWidget* makePicturePanel(QWidget* parent);
    QSplitter* makeSplitter(QWidget* lower);
    QMenu* makeDeleteMenu();
    void connectGrid();

    QLabel* Label_Data = nullptr;
    QPushButton* BitBtn19 = nullptr; // "Новая сделка"
    QPushButton* BitBtn8 = nullptr;  // back a day
    QPushButton* BitBtn9 = nullptr;  // forward a day
    QPushButton* Button1 = nullptr;  // "Сегодня"
    QDateTimeEdit* DateTimePicker1 = nullptr;
    QDateTimeEdit* DateTimePicker2 = nullptr;
    QPushButton* Button_Analize = nullptr; // "Отфильтровать"
    QTableView* StringGrid_Analiz = nullptr;
    QSplitter* Splitter1 = nullptr;
    QLabel* Label_Day = nullptr;
    QMenu* PopupMenu6_Del1 = nullptr;
    // The lower half of the page, where the selected trade's pictures go.
    QWidget* PicturePanel = nullptr;
    QTabWidget* PageControl3 = nullptr; // its one tab "Рисунок сделки"
    TradePicturesPanel* TradePictures = nullptr;

    Journal& m_journal;
    Prompts& m_prompts;
    AnalysisModel* m_model = nullptr;
};
