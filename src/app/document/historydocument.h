#pragma once

#include "document/popularitysource.h"
#include "prediction/predictionengine.h"
#include "prediction/predictionoptions.h"
#include "store/database.h"
#include "store/drawhistory.h"
#include "store/drawvalidation.h"
#include "store/result.h"
#include "store/totals.h"
#include "summary/drawsummary.h"
#include "tickets/predictionrecord.h"
#include "tickets/ticket.h"
#include "tickets/ticketgrading.h"

#include <QObject>

#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace loto6 {

// What every window reads: the database file, its draws read once with their dates, the
// history in use after the 基準回 cut with its totals, the twelve prediction switches and the
// prediction engine, and the ticket book and the payouts stored beside the draws. Every read
// and write of the book goes over the document's one connection. It says nothing to the user;
// its callers report failures. historyChanged tells the windows to show the new history,
// ticketsChanged that the book changed, payoutsChanged that the payouts were read anew.
class HistoryDocument : public QObject
{
    Q_OBJECT

public:
    explicit HistoryDocument(QObject *parent = nullptr);

    // Opens the database (created from the seed history when missing) and reads the draws.
    Status open(const std::filesystem::path &databaseFile, const std::filesystem::path &seed);
    // Reads the draws again over a fresh connection (an update puts a new file in place of the
    // one opened at start-up). A failure keeps the draws held so far.
    Status reload();
    void close();

    const Database &database() const { return m_database; }
    // Every draw read from the database, before the 基準回 cut.
    const DrawHistory &loadedHistory() const { return m_loadedHistory; }
    // The draws in use and their totals.
    const DrawHistory &history() const { return m_history; }
    const Totals &totals() const { return m_totals; }
    // "第N回（YYYY-MM-DD）まで　M回分" for a history.
    static QString summary(const DrawHistory &history);
    // Stored values of the history in use that no import would accept.
    const StoredValuesCheck &storedValues() const { return m_check; }

    // 基準回: the history in use is cut after this draw (DrawHistory::NoCut for none).
    int asOf() const { return m_asOf; }
    void setAsOf(int drawNo);

    PredictionOptions &predictionOptions() { return m_options; }
    // The prediction tables, kept while the history stays, so that each opening of the
    // prediction window scans on from the entries of the previous one.
    PredictionEngine &predictionEngine() { return m_engine; }
    // How popular combinations are, learnt from the history in use and its payouts; made anew
    // whenever the history changes.
    PopularitySource &popularity() const { return *m_popularity; }

    // The ticket book, over the document's connection. Each write that succeeds signals
    // ticketsChanged; a failure changes nothing.
    Status tickets(std::vector<Ticket> &out);
    // Stores the tickets, all or none; sets their ids.
    Status addTickets(std::vector<Ticket> &tickets);
    Status removeTicket(long long id);
    // Stores a prediction's record and one ticket per line, all or none.
    Status recordPrediction(PredictionRecord &entry,
        const std::vector<std::array<int, MainNumberCount>> &lines, std::vector<Ticket> &made);
    // Stores a designed set, one unit each, for `draws` draws from firstDraw, all or none.
    Status addDesignedTickets(const std::vector<std::array<int, MainNumberCount>> &tickets,
        int firstDraw, int draws, const std::string &memo, std::vector<Ticket> &made);
    // Every stored payout, by draw number (empty when the database holds none).
    Status payouts(std::map<int, DrawPrizes> &prizes) const;
    // The book graded against the history in use with the stored payouts, which it fills.
    Status gradeTickets(std::optional<TicketGrading> &grading, std::map<int, DrawPrizes> &prizes);
    // The draw-day summary (今回の結果) of a draw of the history in use, with the popularity
    // estimate when it has come (pending meanwhile; asking starts the work).
    Status summarize(int drawNo, DrawSummary &out);

    // The settings file of the switches, in the working directory.
    static std::filesystem::path settingsFile();
    // Reads the switches; lines not understood are listed. A missing file leaves them off.
    Status readSettings(std::vector<int> &notUnderstood);
    Status writeSettings() const;

signals:
    // The history in use changed: reloaded, or cut at another 基準回.
    void historyChanged();
    // The ticket book changed: tickets added, removed or recorded.
    void ticketsChanged();
    // The database was read anew (opened, updated, imported into): its payouts may differ.
    // It comes before the historyChanged of the same reading.
    void payoutsChanged();
    // A reading of the database brought a complete draw newer than the history in use held:
    // its draw number. It comes after the historyChanged of the same reading.
    void newDrawArrived(int drawNo);

private:
    void derive();
    // Runs a write of the book and signals ticketsChanged when it succeeds.
    template<typename Write>
    Status writeBook(Write write);

    Database m_database;
    DrawHistory m_loadedHistory;
    DrawHistory m_history;
    Totals m_totals;
    StoredValuesCheck m_check;
    int m_asOf = DrawHistory::NoCut;
    PredictionOptions m_options;
    PredictionEngine m_engine;
    PopularitySource *m_popularity;
};

} // namespace loto6
