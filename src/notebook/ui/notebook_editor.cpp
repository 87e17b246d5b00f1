#include "notebook/ui/notebook_editor.h"

#include "notebook/core/rtf_reader.h"
#include "notebook/core/rtf_writer.h"

#include <QActionGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QPainter>
#include <QSpinBox>
#include <QTextEdit>
#include <QTextList>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* toolButton(QToolBar* bar, const char* name, const QString& text, const QString& hint,
                        bool checkable = true)
{
    auto* b = new QToolButton(bar);
    b->setObjectName(QLatin1StringView(name));
    b->setText(text);
    b->setToolTip(hint.section(u'|', 0, 0));
    b->setStatusTip(hint.section(u'|', 1));
    b->setCheckable(checkable);
    b->setAutoRaise(true);
    bar->addWidget(b);
    return b;
}

QIcon swatch(const QColor& c)
{
    QPixmap pm(14, 14);
    pm.fill(c);
    QPainter p(&pm);
    p.setPen(Qt::gray);
    p.drawRect(0, 0, 13, 13);
    return QIcon(pm);
}

} // namespace

NotebookEditor::NotebookEditor(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeToolBar());
    layout->addWidget(makeEditor(), 1);

    m_storeTimer = new QTimer(this);
    m_storeTimer->setSingleShot(true);
    m_storeTimer->setInterval(kStoreDelayMs);
    connect(m_storeTimer, &QTimer::timeout, this, [this] {
        if (m_dirty)
            emit textToStore();
    });
    watchDocument();
    connectToolBar();
}

QToolBar* NotebookEditor::makeToolBar()
{
    StandardToolBar = new QToolBar(this);
    StandardToolBar->setObjectName(QStringLiteral("StandardToolBar"));
    StandardToolBar->setIconSize(QSize(16, 16));
    makeFontBoxes();
    StandardToolBar->addSeparator();
    makeStyleButtons();
    return StandardToolBar;
}

// The font, its size and the text colour.
void NotebookEditor::makeFontBoxes()
{
    FontName = new QComboBox(StandardToolBar);
    FontName->setObjectName(QStringLiteral("FontName"));
    FontName->setEditable(true);
    FontName->setInsertPolicy(QComboBox::NoInsert);
    FontName->setMaxVisibleItems(10);
    FontName->setMinimumWidth(160);
    FontName->setToolTip(QStringLiteral("Font Name"));
    FontName->setStatusTip(QStringLiteral("Select font name"));
    StandardToolBar->addWidget(FontName);
    FontSize = new QSpinBox(StandardToolBar);
    FontSize->setObjectName(QStringLiteral("FontSize"));
    FontSize->setRange(1, 1638);
    FontSize->setValue(12);
    FontSize->setToolTip(QStringLiteral("Font Size"));
    FontSize->setStatusTip(QStringLiteral("Select font size"));
    StandardToolBar->addWidget(FontSize);
    ColorBox3 = new QComboBox(StandardToolBar);
    ColorBox3->setObjectName(QStringLiteral("ColorBox3"));
    const std::pair<const char*, QColor> colours[] = {
        {"Черный", QColor(0, 0, 0)},         {"Темно-красный", QColor(128, 0, 0)}, {"Зеленый", QColor(0, 128, 0)},
        {"Оливковый", QColor(128, 128, 0)},  {"Темно-синий", QColor(0, 0, 128)},  {"Фиолетовый", QColor(128, 0, 128)},
        {"Бирюзовый", QColor(0, 128, 128)},  {"Серый", QColor(128, 128, 128)},    {"Серебристый", QColor(192, 192, 192)},
        {"Красный", QColor(255, 0, 0)},      {"Лайм", QColor(0, 255, 0)},         {"Желтый", QColor(255, 255, 0)},
        {"Синий", QColor(0, 0, 255)},        {"Фуксия", QColor(255, 0, 255)},     {"Голубой", QColor(0, 255, 255)},
        {"Белый", QColor(255, 255, 255)}};
    for (const auto& [name, colour] : colours)
        ColorBox3->addItem(swatch(colour), QString::fromUtf8(name), colour);
    StandardToolBar->addWidget(ColorBox3);
}

// Bold, italic, underline, the alignments and the bullets.
void NotebookEditor::makeStyleButtons()
{
    BoldButton = toolButton(StandardToolBar, "BoldButton", QStringLiteral("Ж"), QStringLiteral("Bold"));
    QFont bold = BoldButton->font();
    bold.setBold(true);
    BoldButton->setFont(bold);
    ItalicButton = toolButton(StandardToolBar, "ItalicButton", QStringLiteral("К"), QStringLiteral("Italic"));
    QFont italic = ItalicButton->font();
    italic.setItalic(true);
    ItalicButton->setFont(italic);
    UnderlineButton = toolButton(StandardToolBar, "UnderlineButton", QStringLiteral("Ч"), QStringLiteral("Underline"));
    QFont underline = UnderlineButton->font();
    underline.setUnderline(true);
    UnderlineButton->setFont(underline);
    StandardToolBar->addSeparator();
    LeftAlign = toolButton(StandardToolBar, "LeftAlign", QStringLiteral("≡←"), QStringLiteral("Align Left"));
    CenterAlign = toolButton(StandardToolBar, "CenterAlign", QStringLiteral("≡"), QStringLiteral("Center"));
    RightAlign = toolButton(StandardToolBar, "RightAlign", QStringLiteral("→≡"), QStringLiteral("Align Right"));
    for (QToolButton* b : {LeftAlign, CenterAlign, RightAlign})
        b->setAutoExclusive(true);
    StandardToolBar->addSeparator();
    BulletsButton = toolButton(StandardToolBar, "BulletsButton", QStringLiteral("•≡"),
                               QStringLiteral("Bullets|Enter bullet mode"));
}

QTextEdit* NotebookEditor::makeEditor()
{
    Editor = new QTextEdit(this);
    Editor->setObjectName(QStringLiteral("Editor"));
    Editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = Editor->palette();
    palette.setColor(QPalette::Base, QColor(252, 252, 228));
    Editor->setPalette(palette);
    return Editor;
}

void NotebookEditor::connectToolBar()
{
    connect(BoldButton, &QToolButton::clicked, this, &NotebookEditor::BoldButtonClick);
    connect(ItalicButton, &QToolButton::clicked, this, &NotebookEditor::ItalicButtonClick);
    connect(UnderlineButton, &QToolButton::clicked, this, &NotebookEditor::UnderlineButtonClick);
    connect(LeftAlign, &QToolButton::clicked, this, &NotebookEditor::LeftAlignClick);
    connect(CenterAlign, &QToolButton::clicked, this, &NotebookEditor::CenterAlignClick);
    connect(RightAlign, &QToolButton::clicked, this, &NotebookEditor::RightAlignClick);
    connect(BulletsButton, &QToolButton::clicked, this, &NotebookEditor::BulletsButtonClick);
    connect(FontSize, &QSpinBox::valueChanged, this, &NotebookEditor::FontSizeChange);
    connect(FontName, &QComboBox::activated, this, &NotebookEditor::FontNameChange);
    connect(ColorBox3, &QComboBox::activated, this, &NotebookEditor::ColorBox3Select);
}

void NotebookEditor::onContentsChanged()
{
    if (m_loading)
        return;
    m_dirty = true;
    m_storeTimer->start(); // restarted by every change: one store after the pause
}

void NotebookEditor::fillFontList()
{
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    families.removeDuplicates();
    FontName->clear();
    FontName->addItems(families);
}

void NotebookEditor::showCaretFont()
{
    const QStringList families = Editor->currentCharFormat().fontFamilies().toStringList();
    FontName->setEditText(families.isEmpty() ? Editor->document()->defaultFont().family() : families.first());
}

void NotebookEditor::setStartupAttributes()
{
    QTextCharFormat f;
    f.setFontFamilies({QStringLiteral("Tahoma")});
    f.setFontPointSize(12);
    Editor->mergeCurrentCharFormat(f);
    showCaretFont();
}

void NotebookEditor::setNewDocumentAttributes()
{
    QTextCharFormat f;
    f.setFontFamilies({QStringLiteral("Tahoma")});
    f.setFontPointSize(12);
    f.setForeground(QColor(0, 0, 255));
    Editor->mergeCurrentCharFormat(f);
    showCaretFont();
}

void NotebookEditor::watchDocument()
{
    connect(Editor->document(), &QTextDocument::contentsChanged, this, &NotebookEditor::onContentsChanged);
}

void NotebookEditor::loadText(const QByteArray& stored)
{
    m_loading = true;
    if (stored.isEmpty()) {
        Editor->clear();
    } else {
        // Read into a document without a layout and hand it to the editor
        // whole: laying out a large text paragraph by paragraph as it is
        // read costs ten times the reading.
        auto* document = new QTextDocument(Editor);
        readStoredText(stored, *document);
        // The editor deletes only the document it made itself.
        QTextDocument* old = Editor->document();
        const bool ours = old->parent() == Editor;
        Editor->setDocument(document);
        if (ours)
            old->deleteLater();
        watchDocument();
    }
    Editor->moveCursor(QTextCursor::Start);
    m_loading = false;
    m_dirty = false;
    m_storeTimer->stop();
}

void NotebookEditor::clearText() { loadText(QByteArray()); }

std::optional<QByteArray> NotebookEditor::takePendingText()
{
    m_storeTimer->stop();
    if (!m_dirty)
        return std::nullopt;
    m_dirty = false;
    return writeRtf(*Editor->document());
}

void NotebookEditor::BoldButtonClick()
{
    QTextCharFormat f;
    f.setFontWeight(BoldButton->isChecked() ? QFont::Bold : QFont::Normal);
    Editor->mergeCurrentCharFormat(f);
}

void NotebookEditor::ItalicButtonClick()
{
    QTextCharFormat f;
    f.setFontItalic(ItalicButton->isChecked());
    Editor->mergeCurrentCharFormat(f);
}

void NotebookEditor::UnderlineButtonClick()
{
    QTextCharFormat f;
    f.setFontUnderline(UnderlineButton->isChecked());
    Editor->mergeCurrentCharFormat(f);
}

void NotebookEditor::LeftAlignClick() { Editor->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); }
void NotebookEditor::CenterAlignClick() { Editor->setAlignment(Qt::AlignHCenter); }
void NotebookEditor::RightAlignClick() { Editor->setAlignment(Qt::AlignRight | Qt::AlignAbsolute); }

void NotebookEditor::BulletsButtonClick()
{
    QTextCursor cursor = Editor->textCursor();
    cursor.beginEditBlock();
    if (BulletsButton->isChecked()) {
        QTextListFormat list;
        list.setStyle(QTextListFormat::ListDisc);
        list.setIndent(1);
        cursor.createList(list);
    } else {
        // Every paragraph of the caret or selection leaves its list.
        QTextCursor walk(Editor->document());
        walk.setPosition(cursor.selectionStart());
        const int end = cursor.selectionEnd();
        for (QTextBlock block = walk.block(); block.isValid() && block.position() <= end; block = block.next()) {
            if (QTextList* list = block.textList()) {
                list->remove(block);
                QTextCursor c(block);
                QTextBlockFormat f = block.blockFormat();
                f.setIndent(0);
                c.setBlockFormat(f);
            }
        }
    }
    cursor.endEditBlock();
}

void NotebookEditor::FontSizeChange()
{
    QTextCharFormat f;
    f.setFontPointSize(FontSize->value());
    Editor->mergeCurrentCharFormat(f);
}

void NotebookEditor::FontNameChange()
{
    // A typed name that is no installed font changes nothing.
    const int index = FontName->findText(FontName->currentText(), Qt::MatchFixedString);
    if (index < 0)
        return;
    QTextCharFormat f;
    f.setFontFamilies({FontName->itemText(index)});
    Editor->mergeCurrentCharFormat(f);
}

void NotebookEditor::ColorBox3Select()
{
    QTextCharFormat f;
    f.setForeground(ColorBox3->currentData().value<QColor>());
    Editor->mergeCurrentCharFormat(f);
}
