// libFuzzer target: any bytes given to the notebook's text reader become a
// document without a crash, a hang, a read past the buffer or undefined
// behaviour, and every document that reads is written as RTF that reads
// back to the same text and formats.
#include "notebook/core/rtf_reader.h"
#include "notebook/core/rtf_writer.h"
#include "notebook/core/text_shape.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

TextShape readShape(QByteArrayView bytes)
{
    QTextDocument document;
    readStoredText(bytes, document);
    return describeText(document);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // fonts need the application
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A private copy: a read past its end is caught by the address sanitizer.
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const TextShape first = readShape(bytes);
    const QByteArray written = writeRtf(first);
    if (!isRtf(written))
        std::abort();
    const TextShape again = readShape(written);
    if (!(again == first)) {
        std::fprintf(stderr, "written RTF reads differently:\n%s\n", written.constData());
        std::abort();
    }
    return 0;
}
