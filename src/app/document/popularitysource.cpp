#include "document/popularitysource.h"

#include "popularity/storedestimate.h"

#include <chrono>
#ifdef __linux__
#include <sys/resource.h>
#endif
#include <utility>

namespace loto6 {

namespace {

bool s_inBackground = false;

// The estimate gives way to the GUI thread, so that no window's first paint waits for it (a
// thread's own nice value; QThread's priorities change nothing under Linux's usual policy).
void lowerThisThreadsPriority()
{
#ifdef __linux__
    setpriority(PRIO_PROCESS, 0, 10);
#endif
}

} // namespace

PopularitySource::PopularitySource(QObject *parent)
    : QObject(parent)
{
}

PopularitySource::~PopularitySource()
{
    for (const QPointer<QThread> &worker : m_workers)
        if (worker) {
            worker->wait();
            delete worker.data();
        }
}

void PopularitySource::setInBackground(bool on) { s_inBackground = on; }

void PopularitySource::rebuild(const DrawHistory &history, const std::map<int, DrawPrizes> &prizes,
    const std::filesystem::path &database)
{
    ++m_generation;
    m_patterns = popularity::PatternFamily::fromHistory(history);
    // The task reads its own copy of what it learns from, made here on the GUI thread.
    auto task = std::make_shared<std::packaged_task<Estimate()>>(
        [draws = popularity::observationsOf(history, prizes), database]() -> Estimate {
            // Over a connection of the worker's own.
            return popularity::storedEstimate(database, draws).estimate;
        });
    m_future = task->get_future().share();
    m_lazy.reset();
    if (s_inBackground)
        startWorker(std::move(task));
    else
        m_lazy = std::move(task);
}

void PopularitySource::startWorker(std::shared_ptr<std::packaged_task<Estimate()>> task)
{
    QThread *worker = QThread::create([task] {
        lowerThisThreadsPriority();
        (*task)();
    });
    const int generation = m_generation;
    connect(worker, &QThread::finished, this, [this, worker, generation] {
        std::erase(m_workers, QPointer<QThread>(worker));
        worker->deleteLater();
        if (generation == m_generation)
            emit ready();
    });
    std::erase_if(m_workers, [](const QPointer<QThread> &w) { return w.isNull(); });
    m_workers.emplace_back(worker);
    worker->start();
}

bool PopularitySource::pending() const
{
    return m_future.valid()
        && (m_lazy || m_future.wait_for(std::chrono::seconds(0)) != std::future_status::ready);
}

const popularity::PopularityEstimate *PopularitySource::estimate(bool start)
{
    if (!m_future.valid())
        return nullptr;
    if (m_lazy) {
        if (start) // made on a worker from the first ask on
            startWorker(std::exchange(m_lazy, nullptr));
        return nullptr;
    }
    if (m_future.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return nullptr;
    try {
        const Estimate &e = m_future.get();
        return e && e->fitted() ? e.get() : nullptr;
    } catch (const std::exception &) {
        // Out of memory while making it: the windows say that no estimate is available.
        return nullptr;
    }
}

} // namespace loto6
