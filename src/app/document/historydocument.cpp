#include "document/historydocument.h"

#include "design/designbook.h"
#include "store/prizestore.h"
#include "tickets/ticketbook.h"

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
    emit payoutsChanged();
    derive();
    return status;
}

Status HistoryDocument::reload()
{
    if (m_database.path().empty())
        return Status::failure(Fault{.kind = FaultKind::NoDatabaseOpen});
    Database fresh;
    DrawHistory loaded;
    Status status = fresh.open(m_database.path());
    if (status)
        status = fresh.loadHistory(loaded);
    if (!status)
        return status;
    const int newest = newestCompleteDraw(m_history);
    m_database = std::move(fresh);
    m_loadedHistory = std::move(loaded);
    emit payoutsChanged();
    derive();
    if (const int now = newestCompleteDraw(m_history); now > newest)
        emit newDrawArrived(now);
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

namespace {

Status noDatabase() { return Status::failure(Fault{.kind = FaultKind::NoDatabaseOpen}); }

} // namespace

template<typename Write>
Status HistoryDocument::writeBook(Write write)
{
    if (!m_database.isOpen())
        return noDatabase();
    TicketBook book(m_database);
    Status status = write(book);
    if (status)
        emit ticketsChanged();
    return status;
}

Status HistoryDocument::tickets(std::vector<Ticket> &out)
{
    if (!m_database.isOpen())
        return noDatabase();
    return TicketBook(m_database).tickets(out);
}

Status HistoryDocument::addTickets(std::vector<Ticket> &tickets)
{
    return writeBook([&](TicketBook &book) { return book.add(tickets); });
}

Status HistoryDocument::removeTicket(long long id)
{
    return writeBook([&](TicketBook &book) { return book.remove(id); });
}

Status HistoryDocument::recordPrediction(PredictionRecord &entry,
    const std::vector<std::array<int, MainNumberCount>> &lines, std::vector<Ticket> &made)
{
    return writeBook([&](TicketBook &book) { return book.record(entry, lines, made); });
}

Status HistoryDocument::addDesignedTickets(
    const std::vector<std::array<int, MainNumberCount>> &tickets, int firstDraw, int draws,
    const std::string &memo, std::vector<Ticket> &made)
{
    return writeBook([&](TicketBook &) {
        return design::addDesignedTickets(m_database, tickets, firstDraw, draws, memo, made);
    });
}

Status HistoryDocument::payouts(std::map<int, DrawPrizes> &prizes) const
{
    if (!m_database.isOpen())
        return noDatabase();
    return readPrizes(m_database, prizes);
}

Status HistoryDocument::gradeTickets(
    std::optional<TicketGrading> &grading, std::map<int, DrawPrizes> &prizes)
{
    std::vector<Ticket> book;
    Status status = tickets(book);
    if (status)
        status = payouts(prizes);
    if (status)
        grading.emplace(std::move(book), m_history, prizes);
    return status;
}

Status HistoryDocument::summarize(int drawNo, DrawSummary &out)
{
    std::vector<Ticket> book;
    std::vector<PredictionRecord> records;
    std::map<int, DrawPrizes> prizes;
    Status status = tickets(book);
    if (status)
        status = TicketBook(m_database).records(records);
    if (status)
        status = payouts(prizes);
    if (!status)
        return status;
    DrawSummaryInput input{m_history, prizes, book, records, m_options};
    input.estimate = m_popularity->estimate();
    input.estimatePending = !input.estimate && m_popularity->pending();
    return summarizeDraw(input, drawNo, out);
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
