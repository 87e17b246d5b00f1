#pragma once

#include "import/core/csv_trades.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

// "Столбцы файла CSV": which column of a table of trades holds which field,
// guessed or remembered, for the trader to correct, over the first rows of
// the file and what the rows give under that mapping. Enter applies (the
// default button), Esc cancels.
class CsvMapperDialog : public QDialog {
    Q_OBJECT
public:
    explicit CsvMapperDialog(QWidget* parent = nullptr);

    // Shows the file's header and first rows with the mapping (window-modal;
    // accepted() or rejected() follows).
    void openFor(const QString& fileName, const CsvTable& table, const CsvMapping& mapping);
    CsvMapping mapping() const;
    void setMapping(const CsvMapping& mapping);

    static constexpr int kPreviewRows = 8;
    // The rows checked while the trader changes the mapping: the window
    // stays quick with a file of any size; the preview checks every row.
    static constexpr int kCheckedRows = 5000;

private:
    void refresh();
    QComboBox* fieldBox(CsvField field) const { return m_boxes[static_cast<std::size_t>(field)]; }

    std::array<QComboBox*, kCsvFieldCount> m_boxes{};
    QLabel* Label_CsvFile = nullptr;
    QLabel* Label_CsvCheck = nullptr;
    QTableWidget* StringGrid_Csv = nullptr;
    QPushButton* BitBtn_CsvOk = nullptr;
    QPushButton* BitBtn_CsvCancel = nullptr;
    CsvTable m_table; // the header and the first kCheckedRows rows
    int m_rowCount = 0;
    bool m_filling = false;
};
