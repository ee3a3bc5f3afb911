#include "desktop/core/PipelineWorker.h"

#include "desktop/core/EngineObjects.h"

namespace desktop {

PipelineWorker::PipelineWorker(EngineMaker makeEngines)
    : m_thread([this, makeEngines = std::move(makeEngines)] { Serve(makeEngines); }) {}

PipelineWorker::~PipelineWorker() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

std::future<void> PipelineWorker::Post(Job job) {
    std::packaged_task<void(EngineObjects&)> task(std::move(job));
    std::future<void> done = task.get_future();
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(task));
    }
    m_wake.notify_one();
    return done;
}

void PipelineWorker::Serve(EngineMaker makeEngines) {
    std::unique_ptr<EngineObjects> engines = makeEngines();
    while (true) {
        std::packaged_task<void(EngineObjects&)> task;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_jobs.empty()) break;
            task = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        task(*engines);
    }
    engines.reset();  // released on the thread that made them
}

}  // namespace desktop
