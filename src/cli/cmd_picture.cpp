// tradejournal-cli picture FILE --png OUT: the bitmap of a picture snapshot
// (a trade picture .pat or a notebook chart .paz) as a PNG file, and its
// bounds, so that screenshots can be taken out of the journal.
#include "cli/cli_support.h"
#include "db/core/safe_file.h"
#include "state/core/control_snapshots.h"
#include "pictures/core/png_file.h"

#include <QBuffer>
#include <QFile>
#include <QStringList>

#include <cstdio>

namespace {

int usage() { return cli::usageError(QStringLiteral("picture")); }

} // namespace

int runPictureCommand(const QStringList& args)
{
    QString input, png;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--png") && i + 1 < args.size())
            png = args[++i];
        else if (input.isEmpty() && !args[i].startsWith(QLatin1String("--")))
            input = args[i];
        else
            return usage();
    }
    if (input.isEmpty())
        return usage();
    QFile file(input);
    if (!file.open(QIODevice::ReadOnly)) {
        cli::err(QStringLiteral("Не удалось открыть %1: %2").arg(input, file.errorString()));
        return 1;
    }
    PictureSnapshotState state;
    try {
        applyPictureSnapshot(stripResourceHeader(file.readAll()), state);
    } catch (const SnapshotError& e) {
        cli::err(QStringLiteral("%1: %2").arg(input, e.message()));
        return 1;
    }
    const QRect& b = state.bounds;
    std::printf("left %d top %d width %d height %d\n", b.left(), b.top(), b.width(), b.height());
    if (state.image.isNull()) {
        std::printf("no picture\n");
        return png.isEmpty() ? 0 : 1;
    }
    std::printf("picture %d x %d\n", state.image.width(), state.image.height());
    if (png.isEmpty())
        return 0;
    try {
        writePngFile(png, state.image);
    } catch (const FileWriteError& e) {
        cli::err(e.message());
        return 1;
    }
    return 0;
}
