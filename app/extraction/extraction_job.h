#pragma once

#include "imaging/extraction/extraction_types.h"
#include "imaging/pixel_buffer.h"

#include <functional>
#include <memory>
#include <string>

// Work on the picture's own pixels away from the application's thread: an extraction, or the
// search that moves one capture click. The event loop stays responsive meanwhile, shows the
// progress of a job that takes more than a moment and lets Escape stop it. A picture shown
// reduced is decoded again at its own resolution for each job, on the job's thread, and its
// memory goes back as soon as the job ends; a picture shown at full size lends its pixels.
// Jobs run one at a time in the order they were started.

// The pixels a job works on: the picture as shown when that is its own size, else its file.
struct PictureSource {
    std::shared_ptr<const PixelBuffer> pixels;
    std::string path;
    // The picture's own size, which the decoded file must have.
    int width = 0;
    int height = 0;
};

struct JobResult {
    enum class Outcome { Done, Stopped, Unreadable };
    Outcome outcome = Outcome::Done;
    Extraction extraction;
    Rgb colour;
};

// Runs on the job's thread with the pixels; it reports its progress through the callback and
// stops when the callback answers false. It must touch nothing of the application.
using JobWork = std::function<JobResult(const PixelBuffer& pixels, const ExtractionProgress& progress)>;
// Runs on the application's thread once the job ended, with what it found.
using JobDone = std::function<void(const JobResult& result)>;

// Starts the job, or queues it behind the running one. A job that ends within QUICK_JOB_MS is
// waited for, so that the pass of the event loop that started it also shows its result.
void startExtractionJob(PictureSource source, JobWork work, JobDone done);
inline constexpr int QUICK_JOB_MS = 20;

// Once per pass of the event loop: finishes the job that ended (its JobDone runs), starts the next
// one, and shows the running job's progress once it has taken longer than PROGRESS_DELAY_MS.
void pollExtractionJobs();
inline constexpr int PROGRESS_DELAY_MS = 300;

// Escape: the running job is asked to stop (its JobDone still runs, with Outcome::Stopped) and the
// waiting ones end at once with Outcome::Stopped. false when there was none.
bool stopExtractionJobs();
bool extractionJobsPending();

// The pixels of a picture file at its own size, or nullptr when it cannot be decoded at that size.
// Safe on any thread.
[[nodiscard]] std::shared_ptr<const PixelBuffer> decodePictureFile(
    const std::string& path, int width, int height);

// Stops and waits for the running job and forgets every other; nothing of them runs any more.
void resetExtractionJobs();
