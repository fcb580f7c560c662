#include "extraction_job.h"

#include "app/status_prompt.h"
#include "app/translations.h"

#include "imaging/decoders/image_decoding.h"
#include "runtime/text_builder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

struct Job {
    PictureSource source;
    JobWork work;
    JobDone done;
};

// What the job's thread shares with the application's thread: written by one, read by the other,
// each field on its own.
struct Shared {
    std::atomic<bool> stop { false };
    std::atomic<bool> finished { false };
    std::atomic<int> permille { 0 };
    JobResult result; // written by the job's thread before finished turns true
    // Tells a waiting application thread that finished turned true.
    std::mutex mutex;
    std::condition_variable ended;
};

struct Running {
    std::thread thread;
    std::shared_ptr<Shared> shared;
    JobDone done;
    Clock::time_point started;
    int shownPermille = -1;
};

struct Jobs {
    std::deque<Job> waiting;
    std::optional<Running> running;

    ~Jobs()
    {
        // A job left running at the end of the program is stopped, not cut off mid-way.
        if (running && running->thread.joinable()) {
            running->shared->stop = true;
            running->thread.join();
        }
    }
};

Jobs& jobs()
{
    static Jobs state;
    return state;
}

void runJob(const PictureSource& source, const JobWork& work, Shared& shared)
{
    std::shared_ptr<const PixelBuffer> pixels = source.pixels;
    if (!pixels)
        pixels = decodePictureFile(source.path, source.width, source.height);
    if (!pixels) {
        shared.result.outcome = JobResult::Outcome::Unreadable;
    } else if (shared.stop) {
        shared.result.outcome = JobResult::Outcome::Stopped;
    } else {
        const ExtractionProgress progress = [&shared](double done) {
            shared.permille = static_cast<int>(std::clamp(done, 0.0, 1.0) * 1000);
            return !shared.stop.load();
        };
        shared.result = work(*pixels, progress);
        if (shared.stop)
            shared.result.outcome = JobResult::Outcome::Stopped;
    }
    // The decoded picture goes before the application hears of the end.
    pixels.reset();
    {
        const std::lock_guard<std::mutex> lock(shared.mutex);
        shared.finished = true;
    }
    shared.ended.notify_all();
}

void startNext()
{
    Jobs& state = jobs();
    if (state.running || state.waiting.empty())
        return;
    Job job = std::move(state.waiting.front());
    state.waiting.pop_front();
    Running running;
    running.shared = std::make_shared<Shared>();
    running.done = std::move(job.done);
    running.started = Clock::now();
    running.thread = std::thread([source = std::move(job.source), work = std::move(job.work),
                                     shared = running.shared] { runJob(source, work, *shared); });
    state.running = std::move(running);
}

void showProgress(Running& running)
{
    if (Clock::now() - running.started < std::chrono::milliseconds(PROGRESS_DELAY_MS))
        return;
    const int permille = running.shared->permille;
    // Whole percents: the status bar is written only when the number changes.
    if (permille / 10 == running.shownPermille / 10)
        return;
    running.shownPermille = permille;
    const std::string pattern = translate("Extracting: %1 % (Escape stops)");
    const std::size_t at = pattern.find("%1");
    const std::string text = at == std::string::npos
        ? pattern
        : pattern.substr(0, at) + std::to_string(permille / 10) + pattern.substr(at + 2);
    showResult(text.c_str());
}

} // namespace

std::shared_ptr<const PixelBuffer> decodePictureFile(const std::string& path, int width, int height)
{
    if (path.empty() || openImageFile(path.c_str()) != 1)
        return nullptr;
    if (decodedWidth() != width || decodedHeight() != height) {
        finishDecoding();
        return nullptr;
    }
    std::shared_ptr<PixelBuffer> pixels = PixelBuffer::allocate(width, height, PixelFill::None);
    if (!pixels) {
        finishDecoding();
        return nullptr;
    }
    // Broken data still fills every row (the missing ones black), as the shown picture has them.
    if (readDecodedRowsAsRgba(pixels->data()) < 0)
        return nullptr;
    return pixels;
}

void startExtractionJob(PictureSource source, JobWork work, JobDone done)
{
    Jobs& state = jobs();
    state.waiting.push_back({ std::move(source), std::move(work), std::move(done) });
    startNext();
    // Most jobs end within a few milliseconds: waiting for them that long lets the pass that
    // started one show its result, rather than the next pass, a wait of the event loop later.
    if (state.running) {
        Shared& shared = *state.running->shared;
        std::unique_lock<std::mutex> lock(shared.mutex);
        shared.ended.wait_for(
            lock, std::chrono::milliseconds(QUICK_JOB_MS), [&shared] { return shared.finished.load(); });
    }
}

void pollExtractionJobs()
{
    Jobs& state = jobs();
    if (!state.running)
        return;
    Running& running = *state.running;
    if (!running.shared->finished) {
        showProgress(running);
        return;
    }
    running.thread.join();
    const std::shared_ptr<Shared> shared = running.shared;
    const JobDone done = std::move(running.done);
    state.running.reset();
    done(shared->result);
    startNext();
}

bool stopExtractionJobs()
{
    Jobs& state = jobs();
    const bool any = state.running || !state.waiting.empty();
    if (state.running)
        state.running->shared->stop = true;
    // The waiting jobs end before they began; each still hears of it, so that nothing it was
    // given (a click) is lost.
    std::deque<Job> waiting = std::move(state.waiting);
    state.waiting.clear();
    JobResult stopped;
    stopped.outcome = JobResult::Outcome::Stopped;
    for (Job& job : waiting)
        job.done(stopped);
    return any;
}

bool extractionJobsPending()
{
    const Jobs& state = jobs();
    return state.running || !state.waiting.empty();
}

void resetExtractionJobs()
{
    Jobs& state = jobs();
    state.waiting.clear();
    if (state.running) {
        state.running->shared->stop = true;
        state.running->thread.join();
        state.running.reset();
    }
}
