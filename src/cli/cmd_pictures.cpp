// tradejournal-cli pictures: the pictures of a trade as the tab "Рисунок
// сделки" lists them, and one of them written out as PNG.
#include "cli/cli_support.h"
#include "cli/commands.h"

#include "db/core/safe_file.h"
#include "db/core/sqlite_database.h"
#include "state/core/control_snapshots.h"
#include "pictures/core/png_file.h"
#include "pictures/core/trade_pictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

int usage() { return cli::usageError(QStringLiteral("pictures")); }

// The picture of a file; nothing when the file is not there. Throws SnapshotError.
std::optional<PictureSnapshotState> readPicture(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    PictureSnapshotState state;
    applyPictureSnapshot(file.readAll(), state);
    return state;
}

} // namespace

int runPicturesCommand(const QStringList& arguments)
{
    QStringList args = arguments;
    bool missing = false;
    const auto account = cli::takeOption(args, QStringLiteral("--account"), &missing);
    const auto trade = cli::takeOption(args, QStringLiteral("--trade"), &missing);
    QString pngName, pngOut;
    if (const qsizetype at = args.indexOf(QStringLiteral("--png")); at >= 0) {
        if (at + 2 >= args.size())
            return usage();
        pngName = args[at + 1];
        pngOut = args[at + 2];
        args.remove(at, 3);
    }
    auto journal = cli::openJournal(args);
    if (!journal)
        return 1;
    bool numeric = false;
    const qint64 tradeId = trade ? trade->toLongLong(&numeric) : 0;
    if (missing || !account || !numeric || !args.isEmpty())
        return usage();

    std::optional<TradePictureRow> row;
    QStringList names;
    try {
        if (!cli::requireAccount(*journal, *account))
            return 1;
        row = TradePictureStore(journal->db()).loadTrade(tradeId);
        if (!row || row->account != *account) {
            cli::err(QStringLiteral("Нет сделки с id %1 на счете %2").arg(*trade, *account));
            return 1;
        }
        names = pictureListNames(row->list);
    } catch (const JournalError& e) {
        cli::err(e.message());
        return 1;
    }
    const QString imgDir = journal->path(QStringLiteral("img"));
    if (!pngName.isEmpty()) {
        if (!names.contains(pngName)) {
            cli::err(QStringLiteral("У сделки нет рисунка \"%1\"").arg(pngName));
            return 1;
        }
        const QString path = tradePictureFile(imgDir, *account, tradeId, pngName);
        try {
            const std::optional<PictureSnapshotState> picture = readPicture(path);
            if (!picture) {
                cli::err(QStringLiteral("Нет файла %1").arg(QDir::toNativeSeparators(path)));
                return 1;
            }
            if (picture->image.isNull()) {
                cli::err(QStringLiteral("Нет рисунка в файле %1").arg(QDir::toNativeSeparators(path)));
                return 1;
            }
            writePngFile(pngOut, picture->image);
        } catch (const JournalError& e) {
            cli::err(e.message());
            return 1;
        }
        return 0;
    }
    int status = 0;
    for (const QString& name : names) {
        const QString path = tradePictureFile(imgDir, *account, tradeId, name);
        QString size;
        try {
            const std::optional<PictureSnapshotState> picture = readPicture(path);
            if (!picture)
                size = QStringLiteral("нет файла");
            else
                size = QStringLiteral("%1 × %2").arg(picture->image.width()).arg(picture->image.height());
        } catch (const SnapshotError& e) {
            size = e.message();
            status = 1;
        }
        cli::tsvLine({name, QFileInfo(path).fileName(), size});
    }
    return status;
}
