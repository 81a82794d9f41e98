#pragma once

#include "popularity/popularityestimate.h"
#include "store/drawhistory.h"
#include "store/prizestore.h"

#include <QObject>
#include <QPointer>
#include <QThread>

#include <future>
#include <map>
#include <memory>
#include <vector>

namespace loto6 {

// The popularity estimate of the history in use. Making it takes a few seconds, so the
// document asks for a new one whenever the history changes; in the program it is made at once
// on a worker thread (inBackground), elsewhere only when first asked for.
class PopularitySource : public QObject
{
    Q_OBJECT

public:
    using Estimate = std::shared_ptr<const popularity::PopularityEstimate>;

    explicit PopularitySource(QObject *parent = nullptr);
    // Waits for a worker still making an estimate: it reads only its own copies.
    ~PopularitySource() override;

    // Whether estimates are made on a worker as soon as the history changes (the program
    // turns this on; tests leave it off so that no window they open pays for one).
    static void setInBackground(bool on);

    // Forgets the estimate and starts on one for these draws and payouts.
    void rebuild(const DrawHistory &history, const std::map<int, DrawPrizes> &prizes);
    // The estimate; when it is not made yet, waits for it (wait) or gives null. Null also when
    // the payouts hold no sales to learn from, or making it failed.
    const popularity::PopularityEstimate *estimate(bool wait);

signals:
    // An estimate made on the worker is ready for the history in use.
    void ready();

private:
    void startWorker(std::shared_ptr<std::packaged_task<Estimate()>> task);

    std::shared_future<Estimate> m_future;
    // The task of the history in use while it waits for its first demand (no worker).
    std::shared_ptr<std::packaged_task<Estimate()>> m_lazy;
    std::vector<QPointer<QThread>> m_workers;
    int m_generation = 0;
};

} // namespace loto6
