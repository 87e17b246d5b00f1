#include "accounts/ui/account_dialog.h"

#include "accounts/core/account_fields.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

bool isCtrlEnter(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers().testFlag(Qt::ControlModifier);
}

} // namespace

UpDownButtons::UpDownButtons(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_up = new QToolButton(this);
    m_down = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(18, 12);
        layout->addWidget(b);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { emit stepped(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { emit stepped(-1); });
}

TFm_Add_Schet::TFm_Add_Schet(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFm_Add_Schet"));
    setWindowTitle(QStringLiteral("Управление счетом"));
    setModal(true);
    buildFields();

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton), QStringLiteral("Добавить"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    // Enter saves (a focused "Отмена" takes Enter for itself), Esc cancels.
    BitBtn1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Отмена"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    for (QPushButton* b : {BitBtn1, Button2})
        b->setMinimumWidth(100);
    connect(BitBtn1, &QPushButton::clicked, this, &TFm_Add_Schet::saveRequested);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(Button2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    // A fixed dialog border: the size the fields need, no resizing.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFm_Add_Schet::buildFields()
{
    GroupBox1 = new QGroupBox(QStringLiteral("Настройки счета"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));

    Edit_Name = new QLineEdit(GroupBox1);
    Edit_Name->setObjectName(QStringLiteral("Edit_Name"));
    Edit_Name->setMinimumWidth(260);

    Edit_kapital = new QLineEdit(QStringLiteral("0"), GroupBox1);
    Edit_kapital->setObjectName(QStringLiteral("Edit_kapital"));
    // Digits only: any other key, and a paste holding anything else, is refused.
    Edit_kapital->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), Edit_kapital));
    Edit_kapital->setMaxLength(12);
    Edit_kapital->setFixedWidth(110);
    Edit_kapital->installEventFilter(this);
    UpDown1 = new UpDownButtons(GroupBox1);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    connect(UpDown1, &UpDownButtons::stepped, this, &TFm_Add_Schet::step);
    auto* capitalRow = new QHBoxLayout;
    capitalRow->setSpacing(1);
    capitalRow->addWidget(Edit_kapital);
    capitalRow->addWidget(UpDown1);
    capitalRow->addStretch();

    ComboBox_Type = new QComboBox(GroupBox1);
    ComboBox_Type->setObjectName(QStringLiteral("ComboBox_Type"));
    ComboBox_Type->addItems({QStringLiteral("демо"), QStringLiteral("реал")});
    ComboBox_Type->setCurrentIndex(-1);
    ComboBox_Sost = new QComboBox(GroupBox1);
    ComboBox_Sost->setObjectName(QStringLiteral("ComboBox_Sost"));
    ComboBox_Sost->addItems({QStringLiteral("открыт"), QStringLiteral("закрыт")});
    ComboBox_Sost->setCurrentIndex(-1);
    for (QComboBox* c : {ComboBox_Type, ComboBox_Sost})
        c->setFixedWidth(130);

    Edit_broker = new QLineEdit(GroupBox1);
    Edit_broker->setObjectName(QStringLiteral("Edit_broker"));
    Edit_Valuta = new QLineEdit(GroupBox1);
    Edit_Valuta->setObjectName(QStringLiteral("Edit_Valuta"));
    Edit_Valuta->setMaxLength(3);
    Edit_Valuta->setFixedWidth(60);
    Edit_Valuta->setToolTip(QStringLiteral("Код валюты счета из трех букв; пустое поле заполнит первый скопированный отчет"));
    Edit_Opis = new QPlainTextEdit(GroupBox1);
    Edit_Opis->setObjectName(QStringLiteral("Edit_Opis"));
    Edit_Opis->setTabChangesFocus(true);
    Edit_Opis->installEventFilter(this);
    Edit_Opis->setFixedHeight(110);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(QStringLiteral("Счет"), Edit_Name);
    form->addRow(QStringLiteral("Капитал"), capitalRow);
    form->addRow(QStringLiteral("Вид"), ComboBox_Type);
    form->addRow(QStringLiteral("Состояние"), ComboBox_Sost);
    form->addRow(QStringLiteral("Брокер"), Edit_broker);
    form->addRow(QStringLiteral("Валюта"), Edit_Valuta);

    auto* layout = new QVBoxLayout(GroupBox1);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Описание стратегии на счете:"), GroupBox1));
    layout->addWidget(Edit_Opis);
}

void TFm_Add_Schet::prepareAdd()
{
    m_mode = Mode::Add;
    BitBtn1->setText(QStringLiteral("Добавить"));
    Edit_Name->clear();
    Edit_broker->clear();
    Edit_Valuta->clear();
    Edit_Opis->clear();
    Edit_kapital->setText(QStringLiteral("0"));
    ComboBox_Type->setCurrentIndex(-1);
}

void TFm_Add_Schet::prepareEdit(const std::optional<AccountRecord>& account)
{
    m_mode = Mode::Edit;
    BitBtn1->setText(QStringLiteral("Сохранить"));
    if (!account)
        return;
    Edit_Name->setText(account->name);
    Edit_broker->setText(account->broker);
    Edit_Valuta->setText(account->currency);
    Edit_Opis->setPlainText(fromStoredLineBreaks(account->description));
    // Shown as stored, even above the stepper's top.
    Edit_kapital->setText(account->capital);
    ComboBox_Type->setCurrentIndex(ComboBox_Type->findText(account->type));
    ComboBox_Sost->setCurrentIndex(ComboBox_Sost->findText(account->state));
}

AccountRecord TFm_Add_Schet::fields() const
{
    AccountRecord a;
    a.name = Edit_Name->text();
    a.capital = Edit_kapital->text();
    a.type = ComboBox_Type->currentText();
    a.state = ComboBox_Sost->currentText();
    a.broker = Edit_broker->text();
    a.currency = Edit_Valuta->text();
    a.description = toStoredLineBreaks(Edit_Opis->toPlainText());
    return a;
}

void TFm_Add_Schet::focusName()
{
    Edit_Name->setFocus();
    Edit_Name->selectAll();
}

void TFm_Add_Schet::step(int direction)
{
    Edit_kapital->setText(stepCapital(Edit_kapital->text(), direction));
}

void TFm_Add_Schet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Edit_Name->setFocus();
}

bool TFm_Add_Schet::eventFilter(QObject* watched, QEvent* event)
{
    // Enter is a new line in the description; Ctrl+Enter saves from there.
    if (watched == Edit_Opis && isCtrlEnter(event)) {
        BitBtn1->click();
        return true;
    }
    // The arrow keys in the capital field work the stepper.
    if (watched == Edit_kapital && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
