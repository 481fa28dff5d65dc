#pragma once

#include "media/MovieAudioExtractor.h"
#include "media/views/MQMoviePlayerViewController.h"
#include "media/views/MQWaveFormView.h"
#include "media/views/WaveformLayer.h"

#include <QWidget>

#include <memory>
#include <vector>

class QProgressBar;

// The movie player over the waveform editor, wired as the main window wires them when a movie
// is loaded: a fresh waveform layer shared by the player and the editor, and one extractor per
// audio track feeding it. The window keeps the editor side (delegates and notifications).
class MQMediaPane : public QWidget {
    Q_OBJECT
public:
    explicit MQMediaPane(QWidget* parent = nullptr);
    MQMediaPane(const MQMoviePlayerViewController::Options& options, QWidget* parent);
    ~MQMediaPane() override;

    // Stops the running extractors, closes the player and empties the waveform; then opens the
    // movie (alerts as the player gives them).
    bool openMovie(const QString& path);
    void clean();

    MQMoviePlayerViewController* player() const { return player_; }
    MQWaveFormView* waveFormView() const { return waveFormView_; }
    WaveformLayer* waveformLayer() const { return layer_; }
    QProgressBar* progressIndicator() const { return progress_; }
    const std::vector<std::unique_ptr<MovieAudioExtractor>>& extractors() const {
        return extractors_;
    }

Q_SIGNALS:
    // After the waveform and the extraction are wired: the window gives the editor the movie
    // and rebuilds the waveform blocks from the editor text.
    void movieLoaded(const QString& path);

private:
    void updateUIAfterLoadMovie(const QString& path, const MovieInfo& info);
    void replaceLayer();

    MQMoviePlayerViewController* player_ = nullptr;
    MQWaveFormView* waveFormView_ = nullptr;
    WaveformLayer* layer_ = nullptr;
    QProgressBar* progress_ = nullptr;
    std::vector<std::unique_ptr<MovieAudioExtractor>> extractors_;
};
