#pragma once

#include <QString>

// The reasons SQLite and the system give in English, put into the trader's
// words. A message of the program is its own Russian text followed by the
// reason; this is the one place that knows how the reasons read in Russian.
//
// russianReason("database or disk is full") is "диск заполнен"; a text it
// does not know is returned as it is, so nothing the system said is lost.
QString russianReason(const QString& reason);

// A whole message that may hold English reasons anywhere in it (an
// exception's text, "... : no such column: Profit"): every known reason in
// it is replaced by its Russian words.
QString withRussianReasons(QString message);
