#pragma once

#include "media/MovieProbe.h"
#include "media/WaveformAudioDataStore.h"

#include <QObject>
#include <QString>

#include <memory>

// Decodes one audio track of a movie into its envelope store on a worker thread. Progress
// (0 to 200) and the end of the extraction arrive on the thread that owns the extractor; when
// done, "kLoadWaveFormFinishedNotification" is posted there once. A finished envelope is kept in
// the cache, and a cached one is used instead of decoding.
class MovieAudioExtractor : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kLoadWaveFormFinishedNotification =
        "kLoadWaveFormFinishedNotification";

    explicit MovieAudioExtractor(QObject* parent = nullptr);
    ~MovieAudioExtractor() override;

    void setExtractTrackNumber(unsigned number) { extractTrackNumber_ = number; }
    unsigned extractTrackNumber() const { return extractTrackNumber_; }
    // 0 chooses from the track length and the machine.
    void setSegmentCount(int count) { segmentCount_ = count; }
    void setUseCache(bool use) { useCache_ = use; }

    // Creates the store at once (mDataStore) and starts decoding the whole track.
    void DoStartMovieAudioExtraction(const QString& moviePath, const MovieInfo& movie);
    // Ends the extraction; no progress or completion is reported afterwards.
    void stopExtracting();

    // Waits (up to the timeout) until no worker of any extractor is running; stopped workers
    // end within one decoded chunk. For the end of the application.
    static bool waitForRunningExtractions(int timeoutMs);

    std::shared_ptr<WaveformAudioDataStore> mDataStore() const { return store_; }
    double progress() const { return progress_; }
    bool isFinished() const { return finished_; }
    bool isLoadedFromCache() const { return loadedFromCache_; }

Q_SIGNALS:
    void progressChanged(double value);
    void extractionFinished();

private:
    struct Shared;
    void reportProgress(double value);
    void finish();

    unsigned extractTrackNumber_ = 0;
    int segmentCount_ = 0;
    bool useCache_ = true;
    bool finished_ = false;
    bool loadedFromCache_ = false;
    double progress_ = 0;
    std::shared_ptr<WaveformAudioDataStore> store_;
    std::shared_ptr<Shared> shared_;
};
