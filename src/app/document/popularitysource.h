#pragma once

#include "popularity/patterns.h"
#include "popularity/popularityestimate.h"
#include "store/drawhistory.h"
#include "store/prizestore.h"

#include <QObject>
#include <QPointer>
#include <QThread>

#include <filesystem>
#include <future>
#include <map>
#include <memory>
#include <vector>

namespace loto6 {

// The popularity estimate of the history in use, the one the document hands to every window.
// It is read from the database when stored for exactly these draws and payouts, else made and
// stored, always on a worker thread: nothing waits for it on the GUI thread. While it is
// being made, estimate() gives null and pending() is true; ready() says when it has come. In
// the program the work starts as soon as the history changes (inBackground), elsewhere when a
// window first asks for it.
class PopularitySource : public QObject
{
    Q_OBJECT

public:
    using Estimate = std::shared_ptr<const popularity::PopularityEstimate>;

    explicit PopularitySource(QObject *parent = nullptr);
    // Waits for a worker still at work: it reads only its own copies.
    ~PopularitySource() override;

    // Whether the work starts as soon as the history changes (the program turns this on;
    // tests leave it off so that no window they open pays for an estimate it does not show).
    static void setInBackground(bool on);

    // Forgets the estimate and starts on one for these draws and payouts, stored in `database`
    // (made in memory only when it is empty or cannot be opened).
    void rebuild(const DrawHistory &history, const std::map<int, DrawPrizes> &prizes,
        const std::filesystem::path &database);
    // The estimate when it has come; null while it is being made (with start, the first ask
    // starts the work) and when the payouts hold no sales to learn from.
    const popularity::PopularityEstimate *estimate(bool start = true);
    // Asked for or being made, not come yet: the windows show 計算中… meanwhile.
    bool pending() const;
    // The pattern tickets of the history in use (made at once, with no estimate needed).
    const popularity::PatternFamily &patterns() const { return m_patterns; }

signals:
    // The estimate of the history in use has come (or turned out not to be had).
    void ready();

private:
    void startWorker(std::shared_ptr<std::packaged_task<Estimate()>> task);

    std::shared_future<Estimate> m_future;
    // The task of the history in use while nobody has asked for it (no worker yet).
    std::shared_ptr<std::packaged_task<Estimate()>> m_lazy;
    std::vector<QPointer<QThread>> m_workers;
    int m_generation = 0;
    popularity::PatternFamily m_patterns;
};

} // namespace loto6
