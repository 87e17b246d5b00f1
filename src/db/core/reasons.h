#pragma once

#include <QString>

// The reasons SQLite and the system give in English, put into the trader's
// words. A message of the program is its own Russian text followed by the
// reason; this is the one place that knows how the reasons read in Russian.
//
// A whole message that may hold English reasons anywhere in it (an
// exception's text, "... : no such column: Profit"): every known reason in
// it is replaced by its Russian words ("database or disk is full" becomes
// "диск заполнен"); a text it does not know stays, so nothing is lost.
QString withRussianReasons(QString message);

// A stored trade whose number does not read: every view names it in these
// words, leaves it out of its sums and goes on with the others.
// unreadableTradeText("57", "Прибыль", "12abc") is
// "Сделка id 57: Прибыль «12abc» не является числом; она не входит в итоги".
QString unreadableTradeText(const QString& id, const QString& what, const QString& text);
// The same with the number of such trades when there are more.
QString unreadableTradesText(const QString& first, int count);
