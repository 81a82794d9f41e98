#include "document/historydocument.h"

namespace loto6 {

HistoryDocument::HistoryDocument(QObject *parent)
    : QObject(parent)
    , m_popularity(new PopularitySource(this))
{
}

Status HistoryDocument::open(
    const std::filesystem::path &databaseFile, const std::filesystem::path &seed)
{
    Status status = m_database.openOrCreate(databaseFile, seed);
    if (status)
        status = m_database.loadHistory(m_loadedHistory);
    if (!status) {
        m_database.close();
        return status;
    }
    derive();
    return status;
}

Status HistoryDocument::reload()
{
    if (m_database.path().empty())
        return Status::failure("no database is open");
    Database fresh;
    DrawHistory loaded;
    Status status = fresh.open(m_database.path());
    if (status)
        status = fresh.loadHistory(loaded);
    if (!status)
        return status;
    m_database = std::move(fresh);
    m_loadedHistory = std::move(loaded);
    derive();
    return status;
}

void HistoryDocument::close()
{
    m_history = DrawHistory();
    m_loadedHistory = DrawHistory();
    m_database.close();
}

void HistoryDocument::setAsOf(int drawNo)
{
    m_asOf = drawNo;
    derive();
}

void HistoryDocument::derive()
{
    // The one place the history in use is derived from the loaded draws.
    m_history = m_loadedHistory.cutAfter(m_asOf);
    m_totals = computeTotals(m_history);
    m_check = checkStoredValues(m_history.records());
    // Fresh prediction tables; the switches stay.
    m_engine = PredictionEngine();
    // Payouts that cannot be read leave no sales to learn popularity from.
    std::map<int, DrawPrizes> prizes;
    if (!readPrizes(m_database, prizes))
        prizes.clear();
    m_popularity->rebuild(m_history, prizes, m_database.path());
    emit historyChanged();
}

std::filesystem::path HistoryDocument::settingsFile() { return PredictionOptions::FileName; }

Status HistoryDocument::readSettings(std::vector<int> &notUnderstood)
{
    return readInitFile(settingsFile(), m_options, &notUnderstood);
}

Status HistoryDocument::writeSettings() const { return writeInitFile(settingsFile(), m_options); }

QString HistoryDocument::summary(const DrawHistory &history)
{
    if (history.empty())
        return tr("当選データがありません");
    const DrawRecord &last = history.records().back();
    const QString date
        = last.date.empty() ? QString() : tr("（%1）").arg(QString::fromStdString(last.date));
    return tr("第%1回%2まで　%3回分").arg(last.drawNo).arg(date).arg(history.size());
}

} // namespace loto6
