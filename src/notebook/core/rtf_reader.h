#pragma once

// Reading the stored text of a notebook document into a QTextDocument.
// Qt reads no Rich Text Format, so the notebook has its own reader for the
// RTF that WordPad, RichEdit and the notebook itself write: fonts, sizes,
// colours and highlight, bold, italic, underline, alignment, bullets and
// numbered paragraphs (\pn, \pntext, \listtext). Text bytes are decoded by
// the code page of their font's charset, else by \ansicpg; \u escapes are
// read with their fallbacks skipped. Pictures, objects and unknown
// destinations are skipped. Reading never fails: whatever the bytes hold
// becomes some text.

#include <QByteArrayView>

class QTextDocument;

// True when the bytes start (after blanks) with "{\rtf".
bool isRtf(QByteArrayView bytes);

// Replaces the document's content by the RTF text.
void readRtf(QByteArrayView rtf, QTextDocument& document);

// Replaces the document's content by plain text: UTF-8 when the bytes are
// valid UTF-8, Windows-1251 otherwise; each line a paragraph.
void readPlainText(QByteArrayView bytes, QTextDocument& document);

// A stored document text: RTF when it is RTF, plain text otherwise; empty
// bytes leave the document empty.
void readStoredText(QByteArrayView bytes, QTextDocument& document);
