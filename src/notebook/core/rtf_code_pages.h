#pragma once

// The code pages of RTF text: which one a font's charset means, and turning
// a font's bytes into text.

#include <QByteArrayView>
#include <QString>

// The code page of a font charset (\fcharset); 0 means "the document's
// \ansicpg".
int codePageOfCharset(int charset);

// Text of bytes in a Windows or DOS code page; bytes of a code page this
// system cannot decode are read as Latin-1.
QString decodeCodePage(int codePage, QByteArrayView bytes);
