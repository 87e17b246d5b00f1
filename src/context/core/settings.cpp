#include "context/core/settings.h"

#include "db/core/safe_file.h"
#include "db/core/cp1251.h"
#include "db/core/numbers.h"

#include <QFile>

#include <climits>

namespace {

const QString kSettings = QStringLiteral("Настройки");
const QString kInfo = QStringLiteral("Инфа");
const QString kAds = QStringLiteral("Реклама");
const QString kUpdateAddress = QStringLiteral("АдресОбновления");
const QString kOpenLastAccount = QStringLiteral("ОткрыватьПоследнийСчет");
const QString kWindowWidth = QStringLiteral("ШиринаОкна");
const QString kWindowHeight = QStringLiteral("ВысотаОкна");
const QString kWindowMaximized = QStringLiteral("ОкноРазвернуто");
const QString kLineBreak = QStringLiteral("\r\n");
const QString kEncodedBreak = QStringLiteral("@13@10");

} // namespace

QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

QString encodeLineBreaks(const QString& text)
{
    QString out = text;
    return out.replace(kLineBreak, kEncodedBreak);
}

QString decodeLineBreaks(const QString& text)
{
    QString out = text;
    return out.replace(kEncodedBreak, kLineBreak);
}

// ---------------------------------------------------------------------------
// IniFile

void IniFile::parse(const QByteArray& bytes)
{
    m_preamble.clear();
    m_sections.clear();
    std::vector<Line>* target = &m_preamble;
    for (const QString& raw : splitLines(cp1251::decode(bytes))) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            if (close > 0) {
                m_sections.push_back({line.mid(1, close - 1).trimmed(), {}});
                target = &m_sections.back().lines;
                continue;
            }
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && !line.startsWith(u';'))
            target->push_back({line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
        else
            target->push_back({QString(), raw});
    }
}

QByteArray IniFile::toBytes() const
{
    QString text;
    auto writeLines = [&](const std::vector<Line>& lines) {
        for (const Line& l : lines) {
            text += l.key.isEmpty() ? l.text : l.key + u'=' + l.text;
            text += kLineBreak;
        }
    };
    writeLines(m_preamble);
    for (const Section& s : m_sections) {
        text += u'[' + s.name + u']' + kLineBreak;
        writeLines(s.lines);
    }
    return cp1251::encode(text);
}

IniFile::Section* IniFile::findSection(const QString& name)
{
    for (Section& s : m_sections) {
        if (s.name.compare(name, Qt::CaseInsensitive) == 0)
            return &s;
    }
    return nullptr;
}

const IniFile::Section* IniFile::findSection(const QString& name) const
{
    return const_cast<IniFile*>(this)->findSection(name);
}

bool IniFile::hasSection(const QString& section) const { return findSection(section) != nullptr; }

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const
{
    const Section* s = findSection(section);
    if (!s)
        return def;
    for (const Line& l : s->lines) {
        if (!l.key.isEmpty() && l.key.compare(key, Qt::CaseInsensitive) == 0) {
            QString value = l.text;
            // A value enclosed in matching quotes is read without them.
            if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
                value = value.mid(1, value.size() - 2);
            // Whole: a value read in part would be written back in part at
            // exit. (A Windows reader still stops at its 2047 characters.)
            return value;
        }
    }
    return def;
}

qint64 IniFile::readInteger(const QString& section, const QString& key, qint64 def) const
{
    const QString text = readString(section, key);
    if (text.startsWith(u'$'))
        return def; // only the "0x" form of hexadecimal is accepted here
    return num::parseInteger(text).value_or(def);
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    Section* s = findSection(section);
    if (!s) {
        m_sections.push_back({section, {}});
        s = &m_sections.back();
    }
    for (Line& l : s->lines) {
        if (!l.key.isEmpty() && l.key.compare(key, Qt::CaseInsensitive) == 0) {
            l.text = value;
            return;
        }
    }
    // New keys go after the last key of the section, before trailing blanks.
    auto pos = s->lines.end();
    while (pos != s->lines.begin() && (pos - 1)->key.isEmpty() && (pos - 1)->text.trimmed().isEmpty())
        --pos;
    s->lines.insert(pos, {key, value});
}

void IniFile::writeInteger(const QString& section, const QString& key, qint64 value)
{
    writeString(section, key, QString::number(value));
}

// ---------------------------------------------------------------------------
// config.ini

namespace {

struct InfoKey {
    const char16_t* key;
    QString Settings::*field;
};

const InfoKey kInfoKeys[] = {
    {u"Оптимизация", &Settings::optimization},
    {u"Валюта", &Settings::currency},
    {u"Таймфрэйм", &Settings::timeframe},
    {u"Тренд", &Settings::trend},
    {u"BuySell", &Settings::buySell},
};

} // namespace

bool loadSettings(const QString& path, Settings& settings)
{
    settings = Settings{};
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    IniFile ini;
    ini.parse(file.readAll());
    settings.activeAccountPosition = ini.readInteger(kSettings, QStringLiteral("Активный счет"), 0);
    settings.updateAddress = ini.readString(kSettings, kUpdateAddress);
    settings.openLastAccount = ini.readInteger(kSettings, kOpenLastAccount, 0) == 1;
    for (const InfoKey& k : kInfoKeys)
        settings.*k.field = decodeLineBreaks(ini.readString(kInfo, QString::fromUtf16(k.key)));
    settings.site = ini.readString(kAds, QStringLiteral("Сайт"));
    // A size that does not read, or is not positive, is not kept.
    const qint64 width = ini.readInteger(kSettings, kWindowWidth, 0);
    const qint64 height = ini.readInteger(kSettings, kWindowHeight, 0);
    if (width > 0 && height > 0 && width <= 100000 && height <= 100000) {
        settings.windowWidth = static_cast<int>(width);
        settings.windowHeight = static_cast<int>(height);
    }
    const qint64 maximized = ini.readInteger(kSettings, kWindowMaximized, -1);
    if (maximized == 0 || maximized == 1)
        settings.windowMaximized = maximized == 1;
    return true;
}

void saveSettings(const QString& path, const Settings& settings)
{
    IniFile ini;
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly))
        ini.parse(existing.readAll());
    existing.close();
    ini.writeInteger(kSettings, QStringLiteral("Активный счет"), settings.activeAccountPosition);
    ini.writeString(kSettings, kUpdateAddress, settings.updateAddress);
    ini.writeInteger(kSettings, kOpenLastAccount, settings.openLastAccount ? 1 : 0);
    for (const InfoKey& k : kInfoKeys)
        ini.writeString(kInfo, QString::fromUtf16(k.key), encodeLineBreaks(settings.*k.field));
    ini.writeString(kAds, QStringLiteral("Сайт"), settings.site);
    // Written once known, so a file without them keeps starting as before.
    if (settings.windowWidth > 0 && settings.windowHeight > 0) {
        ini.writeInteger(kSettings, kWindowWidth, settings.windowWidth);
        ini.writeInteger(kSettings, kWindowHeight, settings.windowHeight);
    }
    if (settings.windowMaximized)
        ini.writeInteger(kSettings, kWindowMaximized, *settings.windowMaximized ? 1 : 0);
    writeFileAtomically(path, ini.toBytes());
}

WindowPlacement windowPlacementAtStart(const Settings& settings, QSize room, QSize designSize)
{
    if (settings.windowMaximized.value_or(true))
        return {room, true};
    const QSize kept = settings.windowWidth > 0 ? QSize(settings.windowWidth, settings.windowHeight) : designSize;
    return {room.isValid() ? kept.boundedTo(room) : kept, false};
}

// ---------------------------------------------------------------------------
// date.txt

DateState parseDateFile(const QByteArray& bytes)
{
    DateState state;
    const QStringList lines = splitLines(cp1251::decode(bytes));
    for (int i = 0; i < 4 && i < lines.size(); ++i) {
        const QDate d = QDate::fromString(lines[i].trimmed(), shortDateFormat());
        if (d.isValid())
            state.dates[i] = d;
    }
    if (lines.size() > 4) {
        if (const auto page = num::parseInteger(lines[4]); page && *page >= INT_MIN && *page <= INT_MAX)
            state.page = static_cast<int>(*page);
    }
    return state;
}

DateState loadDateFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseDateFile(file.readAll());
}

void saveDateFile(const QString& path, const QDate (&dates)[4], int page)
{
    QString text;
    for (const QDate& d : dates)
        text += d.toString(shortDateFormat()) + kLineBreak;
    text += QString::number(page) + kLineBreak;
    writeFileAtomically(path, cp1251::encode(text));
}
