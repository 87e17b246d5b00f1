#pragma once

#include <QDate>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The lines of a text split at CR, LF or CR LF; a last line without a break
// counts, an empty text has none.
QStringList splitLines(const QString& text);

// "a" CR LF "b" <-> "a@13@10b": multi-line settings are stored on one line.
QString encodeLineBreaks(const QString& text);
QString decodeLineBreaks(const QString& text);

// A Windows-style settings file in Windows-1251. Sections and keys are
// matched without regard to case; lines this class does not understand are
// kept, so writing a file back preserves what others put in it.
class IniFile {
public:
    void parse(const QByteArray& bytes);
    QByteArray toBytes() const;

    // The whole value, or the default when absent.
    QString readString(const QString& section, const QString& key, const QString& def = QString()) const;
    // Decimal digits with an optional sign, or hexadecimal after "0x";
    // anything else gives the default.
    qint64 readInteger(const QString& section, const QString& key, qint64 def) const;
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, qint64 value);
    bool hasSection(const QString& section) const;

private:
    struct Line {
        QString key; // empty for a line that is not "key=value"
        QString text; // the value, or the whole line when key is empty
    };
    struct Section {
        QString name;
        std::vector<Line> lines;
    };
    Section* findSection(const QString& name);
    const Section* findSection(const QString& name) const;

    std::vector<Line> m_preamble;
    std::vector<Section> m_sections;
};

// What config.ini holds.
struct Settings {
    qint64 activeAccountPosition = 0; // -1 when no row was selected
    QString optimization;             // Memo_Optim
    QString currency;                 // Memo_Valuta
    QString timeframe;                // Memo_Time
    QString trend;                    // Memo_Trend
    QString buySell;                  // Memo_BS
    QString site;                     // "Сайт", handed to the update check
    // "АдресОбновления": where the update check fetches the version file;
    // empty (the default) makes no request at all.
    QString updateAddress;
    // "ОткрыватьПоследнийСчет": start-up opens the account at
    // activeAccountPosition and the page of date.txt (1); off when 0 or absent.
    bool openLastAccount = false;
    // The main window between runs, section "Настройки": "ШиринаОкна" and
    // "ВысотаОкна", its size when it is not maximized (0: not kept), and
    // "ОкноРазвернуто", 1 when it was maximized, 0 when not (none: not kept).
    int windowWidth = 0;
    int windowHeight = 0;
    std::optional<bool> windowMaximized;
};

// How the main window starts: its size and whether maximized.
struct WindowPlacement {
    QSize size;
    bool maximized = true;
};
// room: the screen's available size. Without kept keys (and when kept
// maximized) the window starts maximized at the room's size; kept normal,
// it starts at its kept size (the design size when none was kept), no
// larger than the room.
WindowPlacement windowPlacementAtStart(const Settings& settings, QSize room, QSize designSize);

// Reads config.ini. A missing file or key gives the defaults; returns false
// only when the file exists but cannot be read (what was read is kept).
bool loadSettings(const QString& path, Settings& settings);
// Writes config.ini with all three sections, keeping other content of an
// existing file. Throws FileWriteError.
void saveSettings(const QString& path, const Settings& settings);

// date.txt: the four dates of the period analysis and the daily statistics,
// and the index of the active main page. A line that is missing or does not
// read stays empty.
struct DateState {
    std::optional<QDate> dates[4];
    std::optional<int> page;
};

inline QString shortDateFormat() { return QStringLiteral("dd.MM.yyyy"); }
DateState parseDateFile(const QByteArray& bytes);
// Missing file: every value empty.
DateState loadDateFile(const QString& path);
// Throws FileWriteError.
void saveDateFile(const QString& path, const QDate (&dates)[4], int page);
