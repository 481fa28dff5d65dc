#pragma once

// The pkg-config include path /usr/include sends moc into <compare>, which it cannot parse;
// moc needs nothing from this header.
#ifndef Q_MOC_RUN
#include "editor/MoviePlayerControl.h"
#endif
#include "media/MovieProbe.h"
#include "media/views/WaveformLayer.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <mutex>
#include <optional>
#include <utility>
#include <vector>

class MpvPlayer;
class MpvVideoWidget;
class QComboBox;
class QLabel;
class QSlider;
class QToolButton;

// What the player asks of the main window.
class MoviePlayerDelegate {
public:
    virtual ~MoviePlayerDelegate() = default;
    virtual bool moviePlayerShouldBeginPlay() { return true; }
    virtual bool moviePlayerShouldPause() { return true; }
    virtual void moviePlayerDidPlay(bool isPlayRepeatSubtitle) { (void)isPlayRepeatSubtitle; }
    virtual void moviePlayerDidGotoTime() {}
    // The line to show over the movie at this time, or none.
    virtual SubtitleLinePtr moviePlayerDisplaySubtitleAtTime(double seconds) = 0;
};

// A main movie with an optional second one shown over it during some time ranges.
struct MarqueeMoviePlayerItem {
    QString mainMovie;
    QString secondaryMovie;
    std::vector<std::pair<double, double>> secondaryMovieDiplayTime; // [start, end) seconds
    bool displaySecondaryMovieInTime(double seconds) const;
};

// The playing direction, told from jumps of the play position: only moves of more than half a
// second count, so small seeks back and forth do not flip it.
class PlayDirectionDetector {
public:
    void update(double seconds);
    bool isPlayForward() const { return forward_; }
    void reset() {
        forward_ = true;
        lastMovieTime_ = 0;
    }

private:
    bool forward_ = true;
    double lastMovieTime_ = 0;
};

// The movie pane: the libmpv player, its controls, the subtitle overlay, single-subtitle
// loops and frame steps. Hand timing drives it through MoviePlayerControl; the waveform reads
// the play position through WaveformPlayerSource.
class MQMoviePlayerViewController : public QWidget,
                                    public MoviePlayerControl,
                                    public WaveformPlayerSource {
    Q_OBJECT
public:
    struct Options {
        bool renderVideo = true; // false: no video output (tests)
        QString audioOutput;     // "" for the default, "null" in tests
    };
    static inline const QString kMoviePlayerDidPauseNotification =
        QStringLiteral("kMoviePlayerDidPauseNotification");
    static inline const QString kMoviePlayerGotoPercentageNotification =
        QStringLiteral("kMoviePlayerGotoPercentageNotification");
    static inline const QString kHighlightSubtitleTextNotification =
        QStringLiteral("kHighlightSubtitleTextNotification");
    static inline const QStringList kSpeedTitles = {QStringLiteral("0.5x"), QStringLiteral("0.8x"),
                                                    QStringLiteral("1.0x"), QStringLiteral("1.2x"),
                                                    QStringLiteral("1.5x"), QStringLiteral("2.0x"),
                                                    QStringLiteral("3.0x")};

    explicit MQMoviePlayerViewController(QWidget* parent = nullptr);
    MQMoviePlayerViewController(const Options& options, QWidget* parent);
    ~MQMoviePlayerViewController() override;

    // The window's Import Movie: refuses missing and too short files with the Part's alerts,
    // sets the frame rate from the movie's video stream, and emits movieLoaded once playable.
    bool openMovie(const QString& path);
    void setMarqueeMoviePlayerItem(const MarqueeMoviePlayerItem& item);
    void close();
    const QString& currentMoviePath() const { return moviePath_; }
    const MovieInfo& currentMovieInfo() const { return movieInfo_; }

    void setDelegate(MoviePlayerDelegate* delegate) { delegate_ = delegate; }
    void setWaveformLayer(WaveformLayer* layer) { waveformLayer_ = layer; }

    // MoviePlayerControl
    bool isPlaying() const override;
    void play() override;
    void stopRepeatPlaySubtitle() override;
    void fastForward() override;
    void rewind() override;
    void speedForward() override;
    void speedBackward() override;
    void setCurrentTime(double seconds) override;
    SubtitleLinePtr repeatSubtitle() const override;
    MediaTime currentTime() const override;
    MediaTime duration() const override;
    bool hasMovie() const override;

    // WaveformPlayerSource
    double currentTimeSeconds() const override;
    bool hasCurrentItem() const override { return hasMovie(); }
    bool isPlayingForward() const override { return direction_.isPlayForward(); }
    bool shouldSyncWaveForm() const override { return shouldSyncWaveForm_; }

    void pause();
    void playPauseToggle();
    double currentPlayRate() const { return currentPlayRate_; }
    void setCurrentPlayRate(double rate);
    void didChangeSpeedRate(const QString& title);
    void gotoStart();
    void gotoEnd();
    void gotoTime(double seconds, bool needResetPointer = true);
    void jumptoTime(double seconds);
    void didGotoTimeWithPercentage(double fraction);
    void highlightSubtitle(const SubtitleLinePtr& line);
    void playRepeatSubtitle(const SubtitleLinePtr& line, double speed = 1.0);
    void setShouldSyncWaveForm(bool sync) { shouldSyncWaveForm_ = sync; }
    void resetSyncWaveForm() { shouldSyncWaveForm_ = false; }
    double volume() const;
    void setVolume(double volume);
    QString currentPlayTimeString() const;

    void setCurrentDisplaySubtitleLine(const SubtitleLinePtr& line);
    void setSubtitleLayerText(const QString& text);
    QString subtitleLayerText() const;
    SubtitleLinePtr currentDisplaySubtitleLine() const { return displayedLine_; }

    // The periodic time observer (every 1/30 s while a movie is installed).
    void timeObserverTick();

    // Controls, for the window and for tests.
    QToolButton* playButton() const { return playButton_; }
    QToolButton* rewindButton() const { return rewindButton_; }
    QToolButton* forwardButton() const { return forwardButton_; }
    QComboBox* speedPopUp() const { return speedPopUp_; }
    QLabel* currentTimeLabel() const { return currentTimeLabel_; }
    QLabel* totalTimeLabel() const { return totalTimeLabel_; }
    QLabel* unplayableLabel() const { return unplayableLabel_; }
    QLabel* noVideoLabel() const { return noVideoLabel_; }
    MpvPlayer* mpvPlayer() const { return player_; }

Q_SIGNALS:
    // The movie is installed and playable: the window wires the waveform and the extraction
    // (its updateUIAfterLoadMovie).
    void movieLoaded(const QString& path, const MovieInfo& info);
    void playStateChanged(bool playing);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void build(const Options& options);
    void setControlsEnabled(bool enabled);
    void didSliderAction();
    void updateTimeLabels();
    void layoutOverlay();
    void seekPlayers(double seconds, bool exact);

    Options options_;
    MpvPlayer* player_ = nullptr;
    MpvPlayer* secondaryPlayer_ = nullptr;
    MpvVideoWidget* video_ = nullptr;
    MpvVideoWidget* secondaryVideo_ = nullptr;
    QWidget* videoArea_ = nullptr;
    QLabel* subtitleLayer_ = nullptr;
    QLabel* unplayableLabel_ = nullptr;
    QLabel* noVideoLabel_ = nullptr;
    QLabel* spinner_ = nullptr;
    QToolButton* playButton_ = nullptr;
    QToolButton* rewindButton_ = nullptr;
    QToolButton* forwardButton_ = nullptr;
    QToolButton* startButton_ = nullptr;
    QToolButton* endButton_ = nullptr;
    QComboBox* speedPopUp_ = nullptr;
    QSlider* slider_ = nullptr;
    QLabel* currentTimeLabel_ = nullptr;
    QLabel* totalTimeLabel_ = nullptr;
    QTimer tick_;
    QTimer resetSyncTimer_;

    QString moviePath_;
    MovieInfo movieInfo_;
    std::optional<MarqueeMoviePlayerItem> compositeItem_;
    MoviePlayerDelegate* delegate_ = nullptr;
    QPointer<WaveformLayer> waveformLayer_;
    mutable std::mutex repeatMutex_;
    SubtitleLinePtr repeatSubtitle_;
    SubtitleLinePtr displayedLine_;
    SubtitleLine::ObserverId displayedObserver_ = 0;
    double currentPlayRate_ = 1.0;
    bool shouldSyncWaveForm_ = false;
    PlayDirectionDetector direction_;
    std::vector<QMetaObject::Connection> observers_;
};
