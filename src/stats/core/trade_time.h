#pragma once

#include <QDateTime>
#include <QStringView>

#include <optional>

// A trade time as the journal stores it: "2013.05.21 10:15", with or
// without seconds, or the date alone. The short form dd.mm.yyyy is read
// too. Nothing for any other text.
std::optional<QDateTime> parseTradeTime(QStringView text);
