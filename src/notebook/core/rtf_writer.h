#pragma once

// Writing a notebook document as Rich Text Format, the form in which its
// text is stored (t_zametki.b_zametka). The RTF is the kind WordPad writes
// and reads: a font and a colour table, one \pard per paragraph with its
// alignment and, for list items, a \pn marker; characters beyond ASCII as
// \u escapes with a Windows-1251 fallback.

#include "notebook/core/text_shape.h"

#include <QByteArray>

class QTextDocument;

QByteArray writeRtf(const QTextDocument& document);
QByteArray writeRtf(const TextShape& shape);
