#include "commands/historymenucommands.h"

#include "commands/backgroundjob.h"
#include "commands/corereasons.h"
#include "commands/updatemessages.h"
#include "shell/busycursor.h"
#include "shell/dialogs.h"
#include "shell/lastfolder.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "store/atomicfile.h"
#include "store/csvhistory.h"
#include "store/database.h"
#include "store/download.h"
#include "store/drawbydrawupdate.h"
#include "store/historyimport.h"
#include "store/outputfile.h"
#include "store/paths.h"
#include "store/prizestore.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <sstream>

namespace loto6 {

namespace {

// One import: the files, the batch read from them, and how the merge ended.
struct ImportRun
{
    std::filesystem::path database;
    std::vector<std::filesystem::path> files;
    IncomingHistory incoming;
    bool read = false;             // incoming holds the files
    std::filesystem::path refused; // the file that was refused, if any
    MergeReport report;
    Status status;
    bool stopped = false;     // cancelled before anything was written
    bool cancelAsked = false; // キャンセル was pressed, maybe too late
};

// Reads the files (once) and merges them in the background. A cancel while the files are read
// stops before the next file and before the database is opened; the merge itself is one
// transaction and runs to its end.
void runImport(QWidget *parent, ImportRun &run, MergeMode mode)
{
    run.status = Status::failure(Fault{.kind = FaultKind::ImportCancelled});
    const bool quiet = BackgroundJob::run(parent, HistoryCommands::tr("CSVから取り込み"),
        HistoryCommands::tr("CSVファイルを読んで取り込んでいます..."),
        [&](BackgroundJob::Progress &progress) {
            if (!run.read) {
                run.status = readHistoryFiles(run.files, run.incoming, &run.refused,
                    [&progress] { return !progress.cancelRequested(); });
                run.read = run.status.ok();
            }
            if (progress.cancelRequested()) {
                run.stopped = true;
                return;
            }
            if (!run.read)
                return;
            // A connection of the worker's own: the document's belongs to the window thread.
            // The document reads the merged history (and its payouts) afterwards.
            Database db;
            run.status = db.open(run.database);
            if (run.status)
                run.status = mergeHistory(db, run.incoming, mode, run.report);
        });
    run.cancelAsked = run.cancelAsked || !quiet;
}

} // namespace

HistoryCommands::HistoryCommands(MainFrm &frame)
    : QObject(&frame)
    , m_frame(frame)
    , m_programFolder(programDir())
{
    setObjectName(QStringLiteral("historyCommands"));
    auto wire = [this](QAction *a, void (HistoryCommands::*command)()) {
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, command);
    };
    wire(frame.commands().update, &HistoryCommands::updateHistory);
    wire(frame.commands().csvImport, &HistoryCommands::importCsv);
    wire(frame.commands().csvExport, &HistoryCommands::exportCsv);
    // Files dropped anywhere on the main window are imported.
    frame.setAcceptDrops(true);
    frame.installEventFilter(this);
}

namespace {

// The dropped files by the bytes of their names: QUrl::toLocalFile would turn a byte that is
// not UTF-8 into U+FFFD, which names another file.
std::vector<std::filesystem::path> droppedFiles(const QMimeData *data)
{
    std::vector<std::filesystem::path> files;
    if (data)
        for (const QUrl &url : data->urls())
            if (std::optional<std::filesystem::path> file = droppedFilePath(url))
                files.push_back(std::move(*file));
    return files;
}

} // namespace

bool HistoryCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::DragEnter && event->type() != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    const std::vector<std::filesystem::path> files = droppedFiles(drop->mimeData());
    if (files.empty() || !m_frame.commands().csvImport->isEnabled())
        return false;
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop)
        // The import asks questions and shows its progress: it starts once the drop is over.
        QTimer::singleShot(0, this, [this, files] { importFiles(files); });
    return true;
}

std::filesystem::path HistoryCommands::databaseFile() const
{
    return m_frame.document().database().path();
}

void HistoryCommands::inform(const QString &text)
{
    m_frame.showMessage(QMessageBox::NoIcon, QString::fromUtf8(ProgramTitle), text);
}

bool HistoryCommands::ask(const QString &text)
{
    return m_frame.dialogs().question(&m_frame, QString::fromUtf8(ProgramTitle), text);
}

void HistoryCommands::fail(const QString &text)
{
    m_frame.showMessage(QMessageBox::Critical, QString::fromUtf8(MessageTitle), text);
}

bool HistoryCommands::databaseFree()
{
    if (databaseFile().empty()) {
        fail(tr("当選データのデータベースが開かれていません。"
                "プログラムを起動し直してから、もう一度実行してください。"));
        return false;
    }
    return true;
}

void HistoryCommands::updateHistory()
{
    if (!databaseFree() || !entryLetsRun(tr("当選データ最新化")))
        return;
    Status unread;
    const std::vector<std::string> sources = configuredUpdateSources(m_programFolder, &unread);
    if (!unread)
        return fail(
            tr("最新化の設定ファイルを読み込めません。\n%1").arg(CoreReasons::japanese(unread)));
    if (sources.empty())
        return m_frame.showMessage(QMessageBox::Warning, QString::fromUtf8(ProgramTitle),
            UpdateMessages::notConfigured(m_programFolder));

    bool cancelAsked = false;
    UpdateResult result = runUpdate(sources, false, cancelAsked);
    if (result.outcome == UpdateOutcome::WouldLoseDraws) {
        if (!ask(UpdateMessages::lossQuestion(result)))
            return inform(tr("最新化しませんでした。当選データは変わっていません。"));
        // Only the source the user was asked about is forced, never the others.
        result = runUpdate({result.source}, true, cancelAsked);
    }
    reportUpdate(result, cancelAsked);
}

UpdateResult HistoryCommands::runUpdate(
    const std::vector<std::string> &sources, bool allowLoss, bool &cancelAsked)
{
    UpdateResult result = UpdateResult::because(
        UpdateOutcome::InstallFailed, Status::failure(Fault{.kind = FaultKind::UpdateNotFinished}));
    const std::filesystem::path target = databaseFile();
    cancelAsked = !BackgroundJob::run(&m_frame, tr("当選データ最新化"),
        tr("当選データを取得しています..."), [&](BackgroundJob::Progress &progress) {
            DownloadLimits limits;
            limits.progress = [&progress](std::uint64_t received, std::uint64_t) {
                progress.setBytes(received);
                return !progress.cancelRequested();
            };
            result = updateFromSources(target, sources, allowLoss, limits);
        });
    return result;
}

void HistoryCommands::reportUpdate(const UpdateResult &result, bool cancelAsked)
{
    switch (result.outcome) {
    case UpdateOutcome::Updated: {
        rereadEntry();
        m_frame.reloadHistory();
        QString text = qs(result.message());
        if (cancelAsked)
            text.prepend(tr("取り消す前に最新化が終わっていました。") + QLatin1Char('\n'));
        text += QLatin1Char('\n') + HistoryDocument::summary(m_frame.document().history());
        if (!result.backup.empty())
            text += tr("\n\n前のデータベースは次のファイルに残してあります。\n%1")
                        .arg(UpdateMessages::pathText(result.backup));
        return inform(text);
    }
    case UpdateOutcome::TargetMissing:
        return inform(CoreReasons::japanese(result.reason) + QLatin1Char('\n')
            + tr("データベースのファイルがあるか確かめてから、もう一度実行してください。"));
    case UpdateOutcome::Cancelled:
        return inform(UpdateMessages::updateFailed(result, databaseFile()));
    default:
        return fail(UpdateMessages::updateFailed(result, databaseFile()));
    }
}

void HistoryCommands::importCsv()
{
    if (!databaseFree())
        return;
    const QStringList chosen
        = m_frame.dialogs()
              .chooseFile(&m_frame, Dialogs::FileDialog::OpenMany, tr("CSVから取り込み"),
                  lastFolder(), tr("CSVファイル (*.csv);;すべてのファイル (*)"))
              .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (chosen.isEmpty())
        return;
    rememberFolder(chosen.front());
    std::vector<std::filesystem::path> files;
    for (const QString &name : chosen) {
        if (refusedFileName(m_frame.dialogs(), &m_frame, name))
            return;
        files.push_back(*chosenFilePath(name));
    }
    importFiles(files);
}

void HistoryCommands::importFiles(const std::vector<std::filesystem::path> &chosen)
{
    if (chosen.empty() || !databaseFree() || !entryLetsRun(tr("取り込み")))
        return;
    ImportRun run;
    run.database = databaseFile();
    run.files = chosen;

    const QString cancelled = tr("取り込みを取り消しました。当選データは変わっていません。");
    runImport(&m_frame, run, MergeMode::Add);
    if (run.stopped)
        return inform(cancelled);
    if (!run.status && !run.refused.empty())
        return fail(UpdateMessages::importRefused(run.status, run.refused));
    if (!run.status && !run.report.conflicts.empty()) {
        if (!ask(UpdateMessages::importConflictQuestion(run.report.conflicts)))
            return inform(tr("何も取り込みませんでした。当選データは変わっていません。"));
        runImport(&m_frame, run, MergeMode::AllowLoss);
        if (run.stopped)
            return inform(cancelled);
    }
    if (!run.status)
        return fail(UpdateMessages::databaseFailed(
            tr("CSVファイルを取り込めませんでした。"), run.status, run.database));
    reportImport(run.report, run.incoming, run.cancelAsked);
}

void HistoryCommands::reportImport(
    const MergeReport &report, const IncomingHistory &incoming, bool cancelAsked)
{
    const int changed = report.added + report.filled + report.replaced;
    if (changed == 0)
        return inform(UpdateMessages::nothingNew(incoming));
    rereadEntry();
    m_frame.reloadHistory();
    QString text = tr("%n件の当選データを取り込みました（追加 %1件、補完 %2件、置き換え %3件）。",
        nullptr, changed)
                       .arg(report.added)
                       .arg(report.filled)
                       .arg(report.replaced);
    if (cancelAsked)
        text.prepend(tr("取り消す前に取り込みが終わっていました。") + QLatin1Char('\n'));
    inform(text + QLatin1Char('\n') + HistoryDocument::summary(m_frame.document().history()));
}

void HistoryCommands::exportCsv()
{
    if (databaseFile().empty()) {
        fail(tr("当選データのデータベースが開かれていません。"
                "プログラムを起動し直してから、もう一度実行してください。"));
        return;
    }
    const QString file = m_frame.dialogs().chooseFile(&m_frame, Dialogs::FileDialog::Save,
        tr("CSVへ書き出し"), QDir(lastFolder()).filePath(QStringLiteral("loto6-history.csv")),
        tr("CSVファイル (*.csv);;すべてのファイル (*)"));
    if (file.isEmpty())
        return;
    if (refusedFileName(m_frame.dialogs(), &m_frame, file))
        return;
    const std::filesystem::path target = *chosenFilePath(file);
    rememberFolder(file);

    const bool withPrizes = ask(tr("賞金データ（各等級の口数と賞金、キャリーオーバー、"
                                   "販売実績額）も書き出しますか？"));
    std::vector<DrawRecord> draws;
    Status status;
    {
        BusyCursor busy;
        // The document's connection reads the file as it is now, after any update or import
        // (each reads the history again over a fresh one).
        const Database &db = m_frame.document().database();
        status = db.readDraws(draws);
        std::map<int, DrawPrizes> prizes;
        // Every stored payout as it is, checked or not: an export loses nothing.
        if (status && withPrizes)
            status = forEachPrizes(db, [&](const DrawPrizes &p) { prizes[p.drawNo] = p; });
        if (status) {
            std::ostringstream out;
            if (withPrizes)
                exportPrizeHistory(out, draws, prizes);
            else
                loto6::exportCsv(out, draws);
            status = writeOutputFile(target, out.str());
        }
    }
    if (!status) {
        fail(tr("CSVファイルへ書き出せませんでした。書き出し先のフォルダがあるか、"
                "書き込みの権限とディスクの空きを確かめてから、もう一度実行してください。\n\n"
                "ファイル:\n%1\n\n%2")
                 .arg(UpdateMessages::pathText(target), UpdateMessages::detail(status, target)));
        return;
    }
    inform(tr("%n件の当選データを書き出しました。", nullptr, static_cast<int>(draws.size()))
        + QLatin1Char('\n') + QDir::toNativeSeparators(file));
}

} // namespace loto6
