#pragma once

#include <QString>

#include <optional>

// The capital stepper of the account dialog: steps of 100 within 0 to 32000.
constexpr int kCapitalStep = 100;
constexpr int kCapitalStepperMax = 32000;

// The capital text after one step up (direction > 0) or down (< 0). The
// stepper never goes above its top, but a larger capital typed or stored
// stays as it is until the trader steps down (to the top) or edits it.
// An empty or unreadable text counts as 0.
QString stepCapital(const QString& capital, int direction);

// Descriptions are kept with CR LF line breaks, as the journal has always
// stored multi-line texts; the widgets work with LF.
QString toStoredLineBreaks(QString text);
QString fromStoredLineBreaks(QString text);

// How an amount of an account shows its currency: "$" for US dollars and
// for an account whose currency is not known (as the journal always showed
// it), otherwise the code after a blank (" JPY").
QString currencyMark(const QString& currency);

// A currency code as the account keeps it: three Latin letters, upper case.
// Empty stays empty (not known); nothing for any other text.
std::optional<QString> currencyCode(const QString& typed);
// Why a typed currency was refused.
QString currencyRefusal(const QString& typed);

// How an account is named in captions: its name, or for an account kept
// without one (older journals allowed it) "Счет №<id> без названия", so a
// caption is never empty.
QString accountCaption(const QString& id, const QString& name);
