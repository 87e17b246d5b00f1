#pragma once

// The right-hand side of the notebook page: the formatting toolbar
// `StandardToolBar` above the rich-text editor `Editor`. The editor keeps
// the text it shows; storing is the page's. A change starts a short wait,
// and the text is handed on once typing has paused (textToStore), or at
// once when the page asks (takePendingText), so that typing never writes
// the whole document per keystroke.

#include <QByteArray>
#include <QWidget>

#include <optional>

class QComboBox;
class QSpinBox;
class QTextEdit;
class QTimer;
class QToolBar;
class QToolButton;

class NotebookEditor : public QWidget {
    Q_OBJECT
public:
    explicit NotebookEditor(QWidget* parent = nullptr);

    // How long typing must pause before the text is stored.
    static constexpr int kStoreDelayMs = 800;

    // The font list: every installed family, sorted.
    void fillFontList();
    // "Tahoma", 12 for the text typed next; a new document's text is also blue.
    void setStartupAttributes();
    void setNewDocumentAttributes();

    // Replaces the text by a stored one (RTF or plain text) or clears it;
    // nothing is pending afterwards.
    void loadText(const QByteArray& stored);
    void clearText();

    // The text as RTF when it changed since it was last handed on, and
    // nothing otherwise; the wait is over either way.
    std::optional<QByteArray> takePendingText();
    bool hasPendingText() const { return m_dirty; }

    // The toolbar's commands, as the buttons and boxes run them.
    void BoldButtonClick();
    void ItalicButtonClick();
    void UnderlineButtonClick();
    void LeftAlignClick();
    void CenterAlignClick();
    void RightAlignClick();
    void BulletsButtonClick();
    void FontSizeChange();
    void FontNameChange();
    // Also run when a pen colour is chosen on a picture (ColorBox1, ColorBox2).
    void ColorBox3Select();

signals:
    // Typing has paused: the page stores the text (takePendingText).
    void textToStore();

private:
    QToolBar* makeToolBar();
    void makeFontBoxes();
    void makeStyleButtons();
    QTextEdit* makeEditor();
    void connectToolBar();
    void onContentsChanged();
    void watchDocument();
    void showCaretFont();

    QToolBar* StandardToolBar = nullptr;
    QComboBox* FontName = nullptr;
    QSpinBox* FontSize = nullptr;
    QComboBox* ColorBox3 = nullptr;
    QToolButton* BoldButton = nullptr;
    QToolButton* ItalicButton = nullptr;
    QToolButton* UnderlineButton = nullptr;
    QToolButton* LeftAlign = nullptr;
    QToolButton* CenterAlign = nullptr;
    QToolButton* RightAlign = nullptr;
    QToolButton* BulletsButton = nullptr;
    QTextEdit* Editor = nullptr;

    QTimer* m_storeTimer = nullptr;
    bool m_dirty = false;
    bool m_loading = false;
};
