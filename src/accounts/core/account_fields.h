#pragma once

#include <QString>

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
