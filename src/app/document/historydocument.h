#pragma once

#include "document/popularitysource.h"
#include "prediction/predictionengine.h"
#include "prediction/predictionoptions.h"
#include "store/database.h"
#include "store/drawhistory.h"
#include "store/drawvalidation.h"
#include "store/result.h"
#include "store/totals.h"

#include <QObject>

#include <filesystem>
#include <vector>

namespace loto6 {

// What every window reads: the database file, its draws read once with their dates, the
// history in use after the 基準回 cut with its totals, the twelve prediction switches and the
// prediction engine. It says nothing to the user; its callers report failures. historyChanged
// tells the windows to show the new history.
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

    // The settings file of the switches, in the working directory.
    static std::filesystem::path settingsFile();
    // Reads the switches; lines not understood are listed. A missing file leaves them off.
    Status readSettings(std::vector<int> &notUnderstood);
    Status writeSettings() const;

signals:
    // The history in use changed: reloaded, or cut at another 基準回.
    void historyChanged();

private:
    void derive();

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
