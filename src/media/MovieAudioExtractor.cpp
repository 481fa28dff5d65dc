#include "media/MovieAudioExtractor.h"

#include "media/EnvelopeExtraction.h"
#include "media/WaveformEnvelopeCache.h"
#include "platform/NotificationCenter.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <mutex>
#include <thread>

// What the worker shares with the extractor. The worker reaches the extractor only through
// `owner`, under the lock, so that an extractor going away never receives a late report.
struct MovieAudioExtractor::Shared {
    ExtractionControl control;
    std::mutex mutex;
    MovieAudioExtractor* owner = nullptr;
    int lastReported = -1;

    // Runs `function(owner)` on the owner's thread, unless the owner has moved on to another
    // extraction (or gone) by then.
    template <typename Function> void toOwner(Function function) {
        std::lock_guard lock(mutex);
        if (!owner) {
            return;
        }
        QMetaObject::invokeMethod(
            owner,
            [target = owner, self = this, function = std::move(function)] {
                if (target->shared_.get() == self && self->owner) {
                    function(target);
                }
            },
            Qt::QueuedConnection);
    }
};

namespace {

std::atomic<int>& runningWorkers() {
    static std::atomic<int> count{0};
    return count;
}

// Workers are detached so that closing a movie never waits for them, but none may outlive the
// application: one still decoding while the process exits races its teardown. By the time the
// application object goes, every extractor has been destroyed and so has stopped its worker.
void joinWorkersAtApplicationEnd() {
    static std::once_flag once;
    std::call_once(once, [] {
        qAddPostRoutine([] { MovieAudioExtractor::waitForRunningExtractions(10000); });
    });
}

} // namespace

MovieAudioExtractor::MovieAudioExtractor(QObject* parent) : QObject(parent) {}

bool MovieAudioExtractor::waitForRunningExtractions(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (runningWorkers().load() > 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

MovieAudioExtractor::~MovieAudioExtractor() {
    stopExtracting();
}

void MovieAudioExtractor::DoStartMovieAudioExtraction(const QString& moviePath,
                                                      const MovieInfo& movie) {
    stopExtracting();
    finished_ = false;
    loadedFromCache_ = false;
    progress_ = 0;
    shared_ = std::make_shared<Shared>();
    shared_->owner = this;

    if (useCache_) {
        if (auto cached = WaveformEnvelopeCache::load(moviePath, extractTrackNumber_)) {
            store_ = std::move(cached);
            loadedFromCache_ = true;
            shared_->toOwner([](MovieAudioExtractor* owner) {
                owner->reportProgress(200);
                owner->finish();
            });
            return;
        }
    }

    AudioStreamDescription source;
    if (extractTrackNumber_ < movie.audioTracks.size()) {
        source = movie.audioTracks[extractTrackNumber_].description;
    }
    AudioStreamDescription target = source;
    target.sampleRate = WaveformAudioDataStore::kEnvelopeRate;
    store_ = std::make_shared<WaveformAudioDataStore>(source, target, movie.duration);
    store_->setTrackNumber(extractTrackNumber_);

    const double totalFrames = movie.duration > 0 ? movie.duration * source.sampleRate : 0;
    const int segments = segmentCount_ > 0 ? segmentCount_ : automaticSegmentCount(movie.duration);
    joinWorkersAtApplicationEnd();
    ++runningWorkers(); // counted before the thread exists, so a wait cannot miss it
    std::thread([shared = shared_, store = store_, path = moviePath, track = extractTrackNumber_,
                 segments, totalFrames, useCache = useCache_] {
        useBatchScheduling();
        struct Finished {
            ~Finished() { --runningWorkers(); }
        } finished;
        std::atomic<bool> done{false};
        // Progress is sampled while the segments decode, and reported when its value changes.
        std::thread progress([&] {
            while (!done.load()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                if (totalFrames <= 0) {
                    continue; // without a length the progress stays where it is
                }
                const double fraction =
                    std::min(1.0, shared->control.decodedFrames.load() / totalFrames);
                const int value = static_cast<int>(fraction * 200);
                if (value != shared->lastReported) {
                    shared->lastReported = value;
                    shared->toOwner(
                        [value](MovieAudioExtractor* owner) { owner->reportProgress(value); });
                }
            }
        });
        const ExtractionResult result =
            extractTrackEnvelope(path, track, *store, shared->control, segments);
        done.store(true);
        progress.join();
        if (result == ExtractionResult::Stopped) {
            return;
        }
        if (result == ExtractionResult::Complete && useCache) {
            WaveformEnvelopeCache::save(path, *store);
        }
        shared->toOwner([totalFrames](MovieAudioExtractor* owner) {
            if (totalFrames > 0) {
                owner->reportProgress(200);
            }
            owner->finish();
        });
    }).detach();
}

void MovieAudioExtractor::stopExtracting() {
    if (!shared_) {
        return;
    }
    shared_->control.stop.store(true);
    std::lock_guard lock(shared_->mutex);
    shared_->owner = nullptr;
}

void MovieAudioExtractor::reportProgress(double value) {
    if (finished_) {
        return;
    }
    progress_ = value;
    Q_EMIT progressChanged(value);
}

void MovieAudioExtractor::finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    store_->setLoadComplete(true);
    Q_EMIT extractionFinished();
    NotificationCenter::defaultCenter().post(
        QString::fromLatin1(kLoadWaveFormFinishedNotification));
}
