// The thread the pipeline runs on. It owns the desktop's engine objects, which are
// apartment-threaded: they are made, used and released on this thread only. Jobs run one at a
// time, in the order posted; the caller waits for a job in its own way (the window keeps
// handling its events, a quiet run just blocks), and the job reaches the user through a UI port
// that is safe to call from this thread.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

namespace desktop {

class EngineObjects;

class PipelineWorker {
  public:
    using Job = std::function<void(EngineObjects&)>;
    using EngineMaker = std::function<std::unique_ptr<EngineObjects>()>;

    // Starts the thread, which makes the engines with `makeEngines` before any job.
    explicit PipelineWorker(EngineMaker makeEngines);
    // Lets the posted jobs finish, releases the engines on the thread and ends it.
    ~PipelineWorker();
    PipelineWorker(const PipelineWorker&) = delete;
    PipelineWorker& operator=(const PipelineWorker&) = delete;

    // Runs `job` on the thread; the future is ready when it has ended (and rethrows what it
    // threw).
    std::future<void> Post(Job job);

  private:
    void Serve(EngineMaker makeEngines);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::packaged_task<void(EngineObjects&)>> m_jobs;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace desktop
