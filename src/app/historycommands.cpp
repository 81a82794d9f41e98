#include "historycommands.h"

#include "backgroundjob.h"
#include "busycursor.h"
#include "mainfrm.h"
#include "store/atomicfile.h"
#include "store/csvhistory.h"
#include "store/database.h"
#include "store/download.h"
#include "store/historyimport.h"
#include "store/prizestore.h"
#include "store/drawbydrawupdate.h"
#include "store/paths.h"
#include "uihelpers.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include <memory>
#include <sstream>

namespace loto6 {

namespace {

std::filesystem::path toPath(const QString &file)
{
    const QByteArray utf8 = file.toUtf8();
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

QString chooseWithDialog(QWidget *parent, HistoryCommands::FileDialog kind, const QString &caption,
    const QString &suggestion, const QString &filter)
{
    if (kind == HistoryCommands::FileDialog::Open)
        return QFileDialog::getOpenFileName(parent, caption, suggestion, filter);
    if (kind == HistoryCommands::FileDialog::OpenMany)
        return QFileDialog::getOpenFileNames(parent, caption, suggestion, filter)
            .join(QLatin1Char('\n'));
    return QFileDialog::getSaveFileName(parent, caption, suggestion, filter);
}

} // namespace

HistoryCommands::HistoryCommands(MainFrm &frame)
    : QObject(&frame)
    , m_frame(frame)
    , m_programFolder(programDir())
{
    setObjectName(QStringLiteral("historyCommands"));
    m_choose = [this](FileDialog kind, const QString &caption, const QString &suggestion,
                   const QString &filter) {
        return chooseWithDialog(&m_frame, kind, caption, suggestion, filter);
    };
    m_ask = [this](const QString &text) {
        return QMessageBox::question(&m_frame, QString::fromUtf8(ProgramTitle), text,
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    };
    auto wire = [this](const char *name, void (HistoryCommands::*command)()) {
        if (QAction *a = m_frame.action(QString::fromUtf8(name))) {
            a->setEnabled(true);
            connect(a, &QAction::triggered, this, command);
        }
    };
    wire("mnuMasterUpdate", &HistoryCommands::updateHistory);
    wire("mnuCsvTorikomi", &HistoryCommands::importCsv);
    wire("mnuCsvKakidashi", &HistoryCommands::exportCsv);
}

std::filesystem::path HistoryCommands::databaseFile() const { return m_frame.database().path(); }

void HistoryCommands::inform(const QString &text)
{
    m_frame.showMessage(QMessageBox::NoIcon, QString::fromUtf8(ProgramTitle), text);
}

void HistoryCommands::fail(const QString &text)
{
    m_frame.showMessage(QMessageBox::Critical, QString::fromUtf8(MessageTitle), text);
}

bool HistoryCommands::databaseFree()
{
    // The entry window writes through its own connection; a file replaced or rewritten under it
    // would lose its later edits or be overwritten by them.
    if (m_frame.childWindow(QString::fromUtf8(MainFrm::EntryWindowClass))) {
        fail(tr("当選データ入力を閉じてから実行してください。"));
        return false;
    }
    if (databaseFile().empty()) {
        fail(tr("当選データのデータベースが開かれていません。"));
        return false;
    }
    return true;
}

void HistoryCommands::updateHistory()
{
    if (!databaseFree())
        return;
    const std::vector<std::string> sources = configuredUpdateSources(m_programFolder);
    if (sources.empty()) {
        m_frame.showMessage(QMessageBox::Warning, QString::fromUtf8(ProgramTitle),
            tr("当選データの取得先が設定されていないため、最新化できません。\n%1")
                .arg(qs(updateNotConfiguredMessage(m_programFolder))));
        return;
    }

    UpdateResult result;
    auto run = [&](bool allowLoss) {
        BusyCursor busy;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        result = updateFromSources(databaseFile(), sources, allowLoss);
    };
    run(false);
    if (!result.ok() && !result.conflictList.empty()) {
        if (!m_ask(tr("次の回は、保存されている当選データと異なります。"
                      "取得したデータで置き換えますか？\n\n%1")
                    .arg(qs(result.conflictList))))
            return inform(tr("最新化しませんでした。当選データは変わっていません。"));
        run(true);
    }
    switch (result.outcome) {
    case UpdateOutcome::Updated:
        m_frame.reloadHistory();
        inform(qs(result.message));
        break;
    case UpdateOutcome::TargetMissing:
        inform(qs(result.message));
        break;
    default:
        fail(tr("当選データを最新化できませんでした。データベースは変わっていません。\n%1")
                 .arg(qs(result.message)));
        break;
    }
}

void HistoryCommands::importCsv()
{
    if (!databaseFree())
        return;
    const QStringList chosen = m_choose(FileDialog::OpenMany, tr("CSVから取り込み"),
        QDir::homePath(), tr("CSVファイル (*.csv);;すべてのファイル (*)"))
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (chosen.isEmpty())
        return;
    std::vector<std::filesystem::path> files;
    for (const QString &file : chosen)
        files.push_back(toPath(file));

    IncomingHistory incoming;
    MergeReport report;
    Status status;
    auto merge = [&](MergeMode mode) {
        BusyCursor busy;
        Database db;
        status = db.open(databaseFile());
        if (status)
            status = mergeHistory(db, incoming, mode, report);
    };
    // Large files are read and checked on a worker; the database is written only afterwards.
    auto read = std::make_shared<IncomingHistory>();
    auto readStatus = std::make_shared<Status>();
    if (!BackgroundJob::run(&m_frame, tr("CSVから取り込み"), tr("CSVファイルを読んでいます..."),
            [files, read, readStatus] { *readStatus = readHistoryFiles(files, *read); }))
        return inform(tr("取り込みを取り消しました。当選データは変わっていません。"));
    status = *readStatus;
    incoming = std::move(*read);
    if (status)
        merge(MergeMode::Add);
    if (!status && !report.conflicts.empty()) {
        if (!m_ask(tr("次の回は、保存されている当選データと異なります。"
                      "取り込むファイルの内容で置き換えますか？\n\n%1")
                    .arg(qs(report.conflictList(12)))))
            return inform(tr("何も取り込みませんでした。当選データは変わっていません。"));
        merge(MergeMode::AllowLoss);
    }
    if (!status)
        return fail(tr("CSVファイルを取り込めませんでした。当選データは変わっていません。\n%1")
                        .arg(qs(status.message())));
    const int changed = report.added + report.filled + report.replaced;
    if (changed == 0)
        return inform(tr("新しい当選データがありません。何も取り込みませんでした。"));
    m_frame.reloadHistory();
    inform(tr("%n件の当選データを取り込みました（追加 %1件、補完 %2件、置き換え %3件）。",
        nullptr, changed)
            .arg(report.added)
            .arg(report.filled)
            .arg(report.replaced)
        + QLatin1Char('\n') + MainFrm::historySummary(m_frame.history()));
}

void HistoryCommands::exportCsv()
{
    if (databaseFile().empty()) {
        fail(tr("当選データのデータベースが開かれていません。"));
        return;
    }
    const QString file = m_choose(FileDialog::Save, tr("CSVへ書き出し"),
        QDir::home().filePath(QStringLiteral("loto6-history.csv")),
        tr("CSVファイル (*.csv);;すべてのファイル (*)"));
    if (file.isEmpty())
        return;

    const bool withPrizes = m_ask(tr("賞金データ（各等級の口数と賞金、キャリーオーバー、"
                                     "販売実績額）も書き出しますか？"));
    std::vector<DrawRecord> draws;
    Status status;
    {
        BusyCursor busy;
        // A fresh connection reads the file as it is now, after any update or import.
        Database db;
        status = db.open(databaseFile());
        if (status)
            status = db.readDraws(draws);
        std::map<int, DrawPrizes> prizes;
        if (status && withPrizes)
            status = readPrizes(db, prizes);
        if (status) {
            std::ostringstream out;
            if (withPrizes)
                exportPrizeHistory(out, draws, prizes);
            else
                loto6::exportCsv(out, draws);
            status = writeFileAtomically(toPath(file), out.str());
        }
    }
    if (!status) {
        fail(tr("CSVファイルへ書き出せませんでした。\n%1").arg(qs(status.message())));
        return;
    }
    inform(tr("%n件の当選データを書き出しました。", nullptr, static_cast<int>(draws.size()))
        + QLatin1Char('\n') + QDir::toNativeSeparators(file));
}

} // namespace loto6
