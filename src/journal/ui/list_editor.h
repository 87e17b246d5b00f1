#pragma once

#include <QDialog>
#include <QStringList>

class Journal;
class Prompts;
class QLabel;
class QListWidget;
class QMenu;

// The reference list editor "Справочники": shows one list, adds, renames
// (through every stored trade) and deletes entries, and saves the list when
// it closes. There is no Cancel: closing always keeps the changes.
class TFm_Sprav : public QDialog {
    Q_OBJECT
public:
    TFm_Sprav(Journal& journal, Prompts& prompts, QWidget* parent = nullptr);

    // Sets the caption to the list name and shows the list (modal).
    void openList(const QString& listName);
    // Loads the list named by the caption (also done by openList).
    void FormShow();
    void N1Click(); // "Добавить"
    void N4Click(); // "Переименовать"
    void N3Click(); // "Удалить"
    QStringList entries() const;

signals:
    // The list was saved on closing: the annotation field is refilled from it
    // and shows the selected entry, if any.
    void listSaved(const QString& listName, const QStringList& entries, const QString& selected);

public slots:
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Saves on closing; false when the file could not be written (the
    // editor then stays open).
    bool FormClose();
    void insertSorted(const QString& text);

    QLabel* Label1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QMenu* PopupMenu1 = nullptr;

    Journal& m_journal;
    Prompts& m_prompts;
    QString m_column;
};
