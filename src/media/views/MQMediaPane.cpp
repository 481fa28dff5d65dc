#include "media/views/MQMediaPane.h"

#include <QProgressBar>
#include <QSplitter>
#include <QVBoxLayout>

MQMediaPane::MQMediaPane(QWidget* parent)
    : MQMediaPane(MQMoviePlayerViewController::Options{}, parent) {}

MQMediaPane::MQMediaPane(const MQMoviePlayerViewController::Options& options, QWidget* parent)
    : QWidget(parent) {
    player_ = new MQMoviePlayerViewController(options, this);
    waveFormView_ = new MQWaveFormView(this);
    waveFormView_->setPlayer(player_);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 200);
    progress_->setTextVisible(false);
    progress_->setMaximumHeight(6);
    progress_->hide();
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(player_);
    splitter->addWidget(waveFormView_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({600, 300});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(splitter, 1);
    layout->addWidget(progress_);
    replaceLayer();
    connect(player_, &MQMoviePlayerViewController::movieLoaded, this,
            &MQMediaPane::updateUIAfterLoadMovie);
}

MQMediaPane::~MQMediaPane() {
    clean();
}

void MQMediaPane::replaceLayer() {
    auto* layer = new WaveformLayer(this);
    waveFormView_->setWaveFormLayer(layer);
    layer->setPlayer(player_);
    player_->setWaveformLayer(layer);
    delete layer_;
    layer_ = layer;
}

void MQMediaPane::clean() {
    for (const auto& extractor : extractors_) {
        extractor->stopExtracting();
    }
    extractors_.clear();
    if (player_) {
        player_->close();
    }
    if (waveFormView_) {
        waveFormView_->removeAllTextViewFromWaveForm();
        replaceLayer();
    }
    if (progress_) {
        progress_->hide();
    }
}

bool MQMediaPane::openMovie(const QString& path) {
    clean();
    return player_->openMovie(path);
}

void MQMediaPane::updateUIAfterLoadMovie(const QString& path, const MovieInfo& info) {
    replaceLayer();
    layer_->setDisplayStyle(1);
    extractors_.clear();
    progress_->setValue(0);
    progress_->setVisible(!info.audioTracks.empty());
    for (unsigned track = 0; track < info.audioTracks.size(); ++track) {
        auto extractor = std::make_unique<MovieAudioExtractor>();
        extractor->setExtractTrackNumber(track);
        connect(extractor.get(), &MovieAudioExtractor::progressChanged, progress_,
                [this](double value) { progress_->setValue(static_cast<int>(value)); });
        connect(extractor.get(), &MovieAudioExtractor::extractionFinished, this, [this] {
            const bool all = std::all_of(extractors_.begin(), extractors_.end(),
                                         [](const auto& e) { return e->isFinished(); });
            progress_->setVisible(!all);
            Q_EMIT layer_->needsDisplay();
        });
        extractor->DoStartMovieAudioExtraction(path, info);
        layer_->addDataStore(extractor->mDataStore());
        extractors_.push_back(std::move(extractor));
    }
    Q_EMIT movieLoaded(path);
}
