// The writer thread of one-file-per-field output: a ring of a few jobs,
// filled by the main thread, written in order by the writer.
#include "writer.h"

#include <pthread.h>
#include <unistd.h>

#include <array>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "extract.h"

namespace {

enum class job_state { free, queued, done };

// Four data sets in flight: enough to keep both threads busy, and a few
// hundred kilobytes of images at the month's grids.
constexpr std::size_t ring_size = 4;

class writer {
public:
    writer();
    ~writer();
    writer(const writer &) = delete;
    writer &operator=(const writer &) = delete;

    gp_write_job &take();
    void submit();
    bool holds(const char *name);
    void drain();

private:
    void run();
    void hand_back(std::unique_lock<std::mutex> &lock);
    void wait_written(std::unique_lock<std::mutex> &lock);

    std::array<gp_write_job, ring_size> jobs_{};
    std::array<job_state, ring_size> state_{};
    std::size_t fill_ = 0, write_ = 0, collect_ = 0;   // running counts
    bool stop_ = false;
    bool main_waits_ = false;
    bool refused_ = false;   // the writer's own: a file could not be created
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_;
};

// The thread starts with SIGINT and SIGTERM blocked: they are the main
// thread's, which notes them between messages.
writer::writer()
{
    sigset_t stops, old;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stops, &old);
    thread_ = std::thread([this] { run(); });
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

writer::~writer()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void writer::run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] {
            return stop_ || state_[write_ % ring_size] == job_state::queued;
        });
        if (state_[write_ % ring_size] != job_state::queued)
            return;   // stopped with nothing left to write
        gp_write_job &job = jobs_[write_ % ring_size];
        lock.unlock();
        job.notes.clear();
        if (refused_ && job.fd >= 0)
            ::close(job.fd);
        job.status = refused_ ? GP_JOB_SKIPPED
                              : gp_write_file(job.name, job.image, job.notes, job.fd);
        refused_ = refused_ || job.status == GP_CANNOT_CREATE;
        lock.lock();
        state_[write_++ % ring_size] = job_state::done;
        if (main_waits_ && (write_ - collect_ >= ring_size / 2 || write_ == fill_))
            changed_.notify_all();
    }
}

// Hands back the finished jobs in order; the lock is let go meanwhile, as
// gp_output_written prints.
void writer::hand_back(std::unique_lock<std::mutex> &lock)
{
    while (collect_ < fill_ && state_[collect_ % ring_size] == job_state::done) {
        gp_write_job &job = jobs_[collect_ % ring_size];
        lock.unlock();
        gp_output_written(job);
        lock.lock();
        state_[collect_++ % ring_size] = job_state::free;
    }
}

// Until half the ring, or all that was submitted, is written: the main
// thread is woken once for a few files rather than for each.
void writer::wait_written(std::unique_lock<std::mutex> &lock)
{
    main_waits_ = true;
    changed_.wait(lock, [this] { return write_ - collect_ >= ring_size / 2 || write_ == fill_; });
    main_waits_ = false;
}

gp_write_job &writer::take()
{
    std::unique_lock<std::mutex> lock(mutex_);
    hand_back(lock);
    while (state_[fill_ % ring_size] != job_state::free) {
        wait_written(lock);
        hand_back(lock);
    }
    return jobs_[fill_ % ring_size];
}

void writer::submit()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        state_[fill_++ % ring_size] = job_state::queued;
    }
    changed_.notify_all();
}

bool writer::holds(const char *name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (std::size_t i = collect_; i < fill_; i++)
        if (std::strcmp(jobs_[i % ring_size].name, name) == 0)
            return true;
    return false;
}

void writer::drain()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (collect_ < fill_) {
        wait_written(lock);
        hand_back(lock);
    }
}

std::unique_ptr<writer> running;

}  // namespace

gp_write_job &gp_writer_job()
{
    if (!running)
        running = std::make_unique<writer>();
    return running->take();
}

void gp_writer_submit()
{
    running->submit();
}

bool gp_writer_holds(const char *name)
{
    return running && running->holds(name);
}

void gp_writer_finish()
{
    if (!running)
        return;
    running->drain();
    running.reset();
}
