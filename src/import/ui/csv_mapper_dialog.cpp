#include "import/ui/csv_mapper_dialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString encodingName(CsvTable::Encoding e)
{
    switch (e) {
    case CsvTable::Encoding::Utf8: return QStringLiteral("UTF-8");
    case CsvTable::Encoding::Utf8Bom: return QStringLiteral("UTF-8 с BOM");
    case CsvTable::Encoding::Utf16: return QStringLiteral("UTF-16");
    case CsvTable::Encoding::Windows1251: return QStringLiteral("Windows-1251");
    }
    return {};
}

QString delimiterName(QChar d)
{
    if (d == u'\t')
        return QStringLiteral("табуляция");
    if (d == u';')
        return QStringLiteral("точка с запятой");
    return QStringLiteral("запятая");
}

constexpr int kProblemsShown = 5;

} // namespace

CsvMapperDialog::CsvMapperDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFm_Csv"));
    setWindowTitle(QStringLiteral("Столбцы файла CSV"));
    setModal(true);

    Label_CsvFile = new QLabel(this);
    Label_CsvFile->setObjectName(QStringLiteral("Label_CsvFile"));
    Label_CsvFile->setWordWrap(true);

    // Two columns of fields, so that the dialog fits a 600-pixel screen.
    auto* fields = new QGridLayout;
    const int perColumn = (kCsvFieldCount + 1) / 2;
    for (const CsvFieldInfo& info : csvFields()) {
        const int i = static_cast<int>(info.field);
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("ComboBox_Csv_%1").arg(QLatin1String(info.key)));
        box->setMinimumContentsLength(14);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        QString label = QString::fromUtf16(info.label);
        if (info.required)
            label += QStringLiteral(" *");
        auto* caption = new QLabel(label, this);
        caption->setBuddy(box);
        if (info.required) {
            QFont bold = caption->font();
            bold.setBold(true);
            caption->setFont(bold);
        }
        const int row = i % perColumn, column = (i / perColumn) * 2;
        fields->addWidget(caption, row, column);
        fields->addWidget(box, row, column + 1);
        m_boxes[static_cast<std::size_t>(i)] = box;
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!m_filling)
                refresh();
        });
    }
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);

    auto* note = new QLabel(QStringLiteral("* — обязательные поля. Первые строки файла:"), this);

    StringGrid_Csv = new QTableWidget(this);
    StringGrid_Csv->setObjectName(QStringLiteral("StringGrid_Csv"));
    StringGrid_Csv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid_Csv->setSelectionMode(QAbstractItemView::NoSelection);
    StringGrid_Csv->setFocusPolicy(Qt::NoFocus);
    StringGrid_Csv->verticalHeader()->setDefaultSectionSize(20);
    StringGrid_Csv->setMinimumHeight(120);

    Label_CsvCheck = new QLabel(this);
    Label_CsvCheck->setObjectName(QStringLiteral("Label_CsvCheck"));
    Label_CsvCheck->setWordWrap(true);
    Label_CsvCheck->setTextInteractionFlags(Qt::TextSelectableByMouse);

    BitBtn_CsvOk = new QPushButton(QStringLiteral("Применить"), this);
    BitBtn_CsvOk->setObjectName(QStringLiteral("BitBtn_CsvOk"));
    BitBtn_CsvOk->setDefault(true);
    BitBtn_CsvCancel = new QPushButton(QStringLiteral("Отмена"), this);
    BitBtn_CsvCancel->setObjectName(QStringLiteral("BitBtn_CsvCancel"));
    connect(BitBtn_CsvOk, &QPushButton::clicked, this, [this] {
        if (mapping().missingRequired().isEmpty())
            accept();
    });
    connect(BitBtn_CsvCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn_CsvOk);
    buttons->addWidget(BitBtn_CsvCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label_CsvFile);
    layout->addLayout(fields);
    layout->addWidget(note);
    layout->addWidget(StringGrid_Csv, 1);
    layout->addWidget(Label_CsvCheck);
    layout->addLayout(buttons);
    resize(820, 540);
}

void CsvMapperDialog::openFor(const QString& fileName, const CsvTable& table, const CsvMapping& mapping)
{
    m_table.delimiter = table.delimiter;
    m_table.encoding = table.encoding;
    m_table.headerLine = table.headerLine;
    m_table.header = table.header;
    m_rowCount = static_cast<int>(table.rows.size());
    m_table.rows.assign(table.rows.begin(), table.rows.begin() + std::min(m_rowCount, kCheckedRows));
    Label_CsvFile->setText(QStringLiteral("Файл «%1»: разделитель — %2, кодировка %3, строк сделок: %4")
                               .arg(QFileInfo(fileName).fileName(), delimiterName(table.delimiter),
                                    encodingName(table.encoding))
                               .arg(table.rows.size()));
    m_filling = true;
    for (QComboBox* box : m_boxes) {
        box->clear();
        box->addItem(QStringLiteral("(нет)"), -1);
        for (int c = 0; c < table.header.size(); ++c)
            box->addItem(QStringLiteral("%1: %2").arg(c + 1).arg(table.header[c]), c);
    }
    m_filling = false;
    const int rows = std::min<int>(kPreviewRows, static_cast<int>(table.rows.size()));
    StringGrid_Csv->clear();
    StringGrid_Csv->setColumnCount(static_cast<int>(table.header.size()));
    StringGrid_Csv->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const CsvTable::Row& row = table.rows[static_cast<std::size_t>(r)];
        StringGrid_Csv->setVerticalHeaderItem(r, new QTableWidgetItem(QString::number(row.line)));
        for (int c = 0; c < row.cells.size() && c < table.header.size(); ++c)
            StringGrid_Csv->setItem(r, c, new QTableWidgetItem(row.cells[c]));
    }
    setMapping(mapping);
    StringGrid_Csv->resizeColumnsToContents();
    open();
    BitBtn_CsvOk->setFocus();
}

CsvMapping CsvMapperDialog::mapping() const
{
    CsvMapping m;
    for (const CsvFieldInfo& info : csvFields()) {
        const QComboBox* box = fieldBox(info.field);
        m[info.field] = box->currentIndex() < 0 ? -1 : box->currentData().toInt();
    }
    return m;
}

void CsvMapperDialog::setMapping(const CsvMapping& mapping)
{
    m_filling = true;
    for (const CsvFieldInfo& info : csvFields()) {
        QComboBox* box = fieldBox(info.field);
        const int index = box->findData(mapping[info.field]);
        box->setCurrentIndex(index < 0 ? 0 : index);
    }
    m_filling = false;
    refresh();
}

// The preview's headers say which field each column gives; the line under
// it what the rows give under this mapping.
void CsvMapperDialog::refresh()
{
    const CsvMapping m = mapping();
    for (int c = 0; c < m_table.header.size(); ++c) {
        QStringList takenBy;
        for (const CsvFieldInfo& info : csvFields())
            if (m[info.field] == c)
                takenBy << QString::fromUtf16(info.label);
        const QString text = takenBy.isEmpty() ? m_table.header[c]
                                               : m_table.header[c] + QStringLiteral("\n→ ") + takenBy.join(QStringLiteral(", "));
        StringGrid_Csv->setHorizontalHeaderItem(c, new QTableWidgetItem(text));
    }
    StringGrid_Csv->resizeColumnsToContents();
    const QStringList missing = m.missingRequired();
    BitBtn_CsvOk->setEnabled(missing.isEmpty());
    if (!missing.isEmpty()) {
        Label_CsvCheck->setText(QStringLiteral("Выберите столбцы для полей: %1").arg(missing.join(QStringLiteral(", "))));
        Label_CsvCheck->setStyleSheet(QStringLiteral("color: #ff0000"));
        return;
    }
    const CsvTrades trades = readCsvTrades(m_table, m);
    const int total = static_cast<int>(trades.rows.size());
    if (trades.problems.empty()) {
        Label_CsvCheck->setText(total < m_rowCount
                                    ? QStringLiteral("Первые %1 строк читаются (всего сделок %2)").arg(total).arg(m_rowCount)
                                    : QStringLiteral("Все строки читаются: сделок %1").arg(total));
        Label_CsvCheck->setStyleSheet(QStringLiteral("color: #008000"));
        return;
    }
    QStringList lines{total < m_rowCount
                          ? QStringLiteral("Строк с ошибками среди первых %1: %2, они не будут скопированы:")
                                .arg(total)
                                .arg(trades.badRowCount())
                          : QStringLiteral("Строк с ошибками: %1 из %2, они не будут скопированы:")
                                .arg(trades.badRowCount())
                                .arg(total)};
    for (std::size_t i = 0; i < trades.problems.size() && i < kProblemsShown; ++i)
        lines << trades.problems[i].describe();
    if (trades.problems.size() > kProblemsShown)
        lines << QStringLiteral("…");
    Label_CsvCheck->setText(lines.join(u'\n'));
    Label_CsvCheck->setStyleSheet(QStringLiteral("color: #ff0000"));
}
