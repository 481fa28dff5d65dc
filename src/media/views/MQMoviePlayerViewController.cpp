#include "media/views/MQMoviePlayerViewController.h"

#include "media/views/MpvPlayer.h"
#include "media/views/MpvVideoWidget.h"
#include "model/MQSetting.h"
#include "model/MQTimeUtility.h"
#include "platform/NotificationCenter.h"
#include "platform/PromptService.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr double kMinimumMovieSeconds = 10.0;
constexpr int kSliderUnitsPerSecond = 100;

MediaTime mediaTimeOf(double seconds) {
    return MQTimeUtility::sharedInstance().getCMTimeWithTimeInteval(seconds);
}

} // namespace

bool MarqueeMoviePlayerItem::displaySecondaryMovieInTime(double seconds) const {
    for (const auto& [start, end] : secondaryMovieDiplayTime) {
        if (seconds >= start && seconds < end) {
            return true;
        }
    }
    return false;
}

void PlayDirectionDetector::update(double seconds) {
    const double change = seconds - lastMovieTime_;
    if (change > 0.5) {
        forward_ = true;
        lastMovieTime_ = seconds;
    } else if (change < -0.5) {
        forward_ = false;
        lastMovieTime_ = seconds;
    }
}

MQMoviePlayerViewController::MQMoviePlayerViewController(QWidget* parent)
    : MQMoviePlayerViewController(Options{}, parent) {}

MQMoviePlayerViewController::MQMoviePlayerViewController(const Options& options, QWidget* parent)
    : QWidget(parent), options_(options) {
    build(options);
    tick_.setInterval(1000 / 30);
    tick_.setTimerType(Qt::PreciseTimer);
    connect(&tick_, &QTimer::timeout, this, &MQMoviePlayerViewController::timeObserverTick);
    resetSyncTimer_.setSingleShot(true);
    resetSyncTimer_.setInterval(1000);
    connect(&resetSyncTimer_, &QTimer::timeout, this,
            &MQMoviePlayerViewController::resetSyncWaveForm);

    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(kMoviePlayerGotoPercentageNotification, this, [this](const Notification& n) {
        didGotoTimeWithPercentage(n.object.toDouble());
    });
    center.addObserver(kHighlightSubtitleTextNotification, this, [this](const Notification& n) {
        highlightSubtitle(n.object.value<SubtitleLinePtr>());
    });
}

MQMoviePlayerViewController::~MQMoviePlayerViewController() {
    setCurrentDisplaySubtitleLine(nullptr);
    // The video widgets free their render contexts before the cores are destroyed.
    delete video_;
    delete secondaryVideo_;
    video_ = secondaryVideo_ = nullptr;
}

void MQMoviePlayerViewController::build(const Options& options) {
    player_ = new MpvPlayer(options.renderVideo ? QStringLiteral("libmpv") : QStringLiteral("null"),
                            options.audioOutput, this);
    videoArea_ = new QWidget(this);
    videoArea_->setAutoFillBackground(true);
    QPalette black = videoArea_->palette();
    black.setColor(QPalette::Window, Qt::black);
    videoArea_->setPalette(black);
    auto* videoLayout = new QVBoxLayout(videoArea_);
    videoLayout->setContentsMargins(0, 0, 0, 0);
    if (options.renderVideo) {
        // Visible (black) from the start: mpv's video output needs the render context, made
        // when the widget is first shown, before a file is loaded.
        video_ = new MpvVideoWidget(player_, videoArea_);
        videoLayout->addWidget(video_);
    }

    subtitleLayer_ = new QLabel(videoArea_);
    QFont overlayFont(QStringLiteral("Helvetica"), 18, QFont::Bold);
    subtitleLayer_->setFont(overlayFont);
    subtitleLayer_->setAlignment(Qt::AlignCenter);
    subtitleLayer_->setWordWrap(true);
    subtitleLayer_->setStyleSheet(
        QStringLiteral("color: white; background-color: rgba(163, 163, 163, 77);"));
    subtitleLayer_->hide();

    auto makeNotice = [this](const QString& text) {
        auto* label = new QLabel(text, videoArea_);
        label->setStyleSheet(QStringLiteral("color: white;"));
        label->setAlignment(Qt::AlignCenter);
        label->hide();
        return label;
    };
    unplayableLabel_ = makeNotice(tr("This movie cannot be played"));
    noVideoLabel_ = makeNotice(tr("No video"));
    spinner_ = makeNotice(tr("Loading…"));

    auto makeButton = [this](QStyle::StandardPixmap icon, const QString& tip) {
        auto* button = new QToolButton(this);
        button->setIcon(style()->standardIcon(icon));
        button->setToolTip(tip);
        button->setEnabled(false);
        return button;
    };
    startButton_ = makeButton(QStyle::SP_MediaSkipBackward, QStringLiteral("Go to movie start"));
    rewindButton_ = makeButton(QStyle::SP_MediaSeekBackward, QStringLiteral("Backward(⌘+J)"));
    playButton_ = makeButton(QStyle::SP_MediaPlay, QStringLiteral("Play(⌘+K or Tab)"));
    forwardButton_ = makeButton(QStyle::SP_MediaSeekForward, QStringLiteral("Forward(⌘+L)"));
    endButton_ = makeButton(QStyle::SP_MediaSkipForward, QStringLiteral("Go to movie end"));
    connect(startButton_, &QToolButton::clicked, this, &MQMoviePlayerViewController::gotoStart);
    connect(rewindButton_, &QToolButton::clicked, this, &MQMoviePlayerViewController::rewind);
    connect(playButton_, &QToolButton::clicked, this,
            &MQMoviePlayerViewController::playPauseToggle);
    connect(forwardButton_, &QToolButton::clicked, this, &MQMoviePlayerViewController::fastForward);
    connect(endButton_, &QToolButton::clicked, this, &MQMoviePlayerViewController::gotoEnd);

    speedPopUp_ = new QComboBox(this);
    speedPopUp_->addItems(kSpeedTitles);
    speedPopUp_->setCurrentText(QStringLiteral("1.0x"));
    connect(speedPopUp_, &QComboBox::textActivated, this,
            &MQMoviePlayerViewController::didChangeSpeedRate);

    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setRange(0, 0);
    connect(slider_, &QSlider::sliderMoved, this, &MQMoviePlayerViewController::didSliderAction);
    currentTimeLabel_ = new QLabel(QStringLiteral("00:00:00.00"), this);
    totalTimeLabel_ = new QLabel(QStringLiteral("00:00:00.00"), this);

    auto* controls = new QHBoxLayout;
    for (QWidget* w :
         std::initializer_list<QWidget*>{startButton_, rewindButton_, playButton_, forwardButton_,
                                         endButton_, speedPopUp_, currentTimeLabel_}) {
        controls->addWidget(w);
    }
    controls->addWidget(slider_, 1);
    controls->addWidget(totalTimeLabel_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(videoArea_, 1);
    layout->addLayout(controls);

    connect(player_, &MpvPlayer::pausedChanged, this, [this](bool paused) {
        playButton_->setIcon(
            style()->standardIcon(paused ? QStyle::SP_MediaPlay : QStyle::SP_MediaPause));
        Q_EMIT playStateChanged(!paused);
    });
    connect(player_, &MpvPlayer::fileLoaded, this, [this] {
        spinner_->hide();
        setControlsEnabled(true);
    });
    connect(player_, &MpvPlayer::loadFailed, this, [this] {
        spinner_->hide();
        setControlsEnabled(false);
    });
}

void MQMoviePlayerViewController::setControlsEnabled(bool enabled) {
    for (QToolButton* button :
         {playButton_, rewindButton_, forwardButton_, startButton_, endButton_}) {
        button->setEnabled(enabled);
    }
}

bool MQMoviePlayerViewController::openMovie(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        PromptService::warning(QStringLiteral("Can not load movie file"));
        return false;
    }
    close();
    const MovieInfo info = probeMovie(path);
    if (info.opened && info.duration <= kMinimumMovieSeconds) {
        const QString application = QCoreApplication::applicationName().isEmpty()
                                        ? QStringLiteral("Marquee")
                                        : QCoreApplication::applicationName();
        PromptService::warning(
            QStringLiteral("%1 only support video/audio which duration is longer than 10 seconds")
                .arg(application));
        return false;
    }
    moviePath_ = path;
    movieInfo_ = info;
    layoutOverlay();
    if (!info.opened || !player_->isValid()) {
        unplayableLabel_->show();
        return false;
    }
    if (!info.hasVideo && info.audioTracks.empty()) {
        noVideoLabel_->show();
        return false;
    }
    noVideoLabel_->setVisible(!info.hasVideo);
    spinner_->setVisible(info.hasVideo);
    // The movie's own rate, so that editor frames match the movie's frames.
    MQTimeUtility::sharedInstance().setFPS(editorFrameRateForMovie(info));
    player_->loadFile(path);
    slider_->setRange(0, static_cast<int>(info.duration * kSliderUnitsPerSecond));
    totalTimeLabel_->setText(
        MQTimeUtility::sharedInstance().rawTimeStringFromCMTime(mediaTimeOf(info.duration)));
    shouldSyncWaveForm_ = false;
    tick_.start();
    Q_EMIT movieLoaded(path, info);
    return true;
}

void MQMoviePlayerViewController::setMarqueeMoviePlayerItem(const MarqueeMoviePlayerItem& item) {
    if (!openMovie(item.mainMovie)) {
        return;
    }
    compositeItem_ = item;
    if (item.secondaryMovie.isEmpty()) {
        return;
    }
    secondaryPlayer_ =
        new MpvPlayer(options_.renderVideo ? QStringLiteral("libmpv") : QStringLiteral("null"),
                      QStringLiteral("null"), this);
    if (options_.renderVideo) {
        secondaryVideo_ = new MpvVideoWidget(secondaryPlayer_, videoArea_);
        secondaryVideo_->setGeometry(videoArea_->rect());
        secondaryVideo_->hide();
    }
    secondaryPlayer_->loadFile(item.secondaryMovie);
}

void MQMoviePlayerViewController::close() {
    if (hasMovie() && isPlaying()) {
        pause();
    }
    tick_.stop();
    resetSyncTimer_.stop();
    {
        std::lock_guard lock(repeatMutex_);
        repeatSubtitle_.reset();
    }
    setCurrentDisplaySubtitleLine(nullptr);
    subtitleLayer_->hide();
    player_->stop();
    delete secondaryVideo_;
    secondaryVideo_ = nullptr;
    delete secondaryPlayer_;
    secondaryPlayer_ = nullptr;
    compositeItem_.reset();
    unplayableLabel_->hide();
    noVideoLabel_->hide();
    spinner_->hide();
    setControlsEnabled(false);
    currentTimeLabel_->setText(QStringLiteral("00:00:00.00"));
    totalTimeLabel_->setText(QStringLiteral("00:00:00.00"));
    waveformLayer_ = nullptr;
    direction_.reset();
    moviePath_.clear();
    movieInfo_ = MovieInfo{};
}

bool MQMoviePlayerViewController::hasMovie() const {
    return !moviePath_.isEmpty();
}

bool MQMoviePlayerViewController::isPlaying() const {
    return hasMovie() && !player_->isPaused();
}

double MQMoviePlayerViewController::currentTimeSeconds() const {
    return hasMovie() ? player_->timePosition() : 0;
}

MediaTime MQMoviePlayerViewController::currentTime() const {
    return hasMovie() ? mediaTimeOf(player_->timePosition()) : MediaTime::zero();
}

MediaTime MQMoviePlayerViewController::duration() const {
    return hasMovie() ? mediaTimeOf(movieInfo_.duration) : MediaTime::zero();
}

SubtitleLinePtr MQMoviePlayerViewController::repeatSubtitle() const {
    std::lock_guard lock(repeatMutex_);
    return repeatSubtitle_;
}

void MQMoviePlayerViewController::play() {
    if (!hasMovie() || isPlaying()) {
        return;
    }
    resetSyncTimer_.stop();
    if (delegate_ && !delegate_->moviePlayerShouldBeginPlay()) {
        shouldSyncWaveForm_ = false;
        return;
    }
    for (MpvPlayer* p : {player_, secondaryPlayer_}) {
        if (p) {
            p->setRate(currentPlayRate_);
            p->setPaused(false);
        }
    }
    shouldSyncWaveForm_ = false;
    if (!repeatSubtitle() && delegate_) {
        delegate_->moviePlayerDidPlay(false);
    }
}

void MQMoviePlayerViewController::pause() {
    if (delegate_) {
        delegate_->moviePlayerShouldPause();
    }
    resetSyncTimer_.stop();
    for (MpvPlayer* p : {player_, secondaryPlayer_}) {
        if (p) {
            p->setPaused(true);
        }
    }
    resetSyncTimer_.start();
    NotificationCenter::defaultCenter().post(kMoviePlayerDidPauseNotification);
}

void MQMoviePlayerViewController::playPauseToggle() {
    if (!isPlaying()) {
        {
            std::lock_guard lock(repeatMutex_);
            repeatSubtitle_.reset();
        }
        play();
    } else {
        pause();
    }
}

void MQMoviePlayerViewController::stopRepeatPlaySubtitle() {
    std::lock_guard lock(repeatMutex_);
    pause();
    repeatSubtitle_.reset();
}

void MQMoviePlayerViewController::setCurrentPlayRate(double rate) {
    currentPlayRate_ = rate;
    if (isPlaying()) {
        for (MpvPlayer* p : {player_, secondaryPlayer_}) {
            if (p) {
                p->setRate(rate);
            }
        }
    }
}

void MQMoviePlayerViewController::didChangeSpeedRate(const QString& title) {
    bool ok = false;
    const double rate = title.left(title.size() - 1).toDouble(&ok);
    if (ok && rate != 0) {
        setCurrentPlayRate(rate);
    }
}

void MQMoviePlayerViewController::speedForward() {
    setCurrentPlayRate(currentPlayRate_ < 2 ? 2 : currentPlayRate_ + 2);
}

void MQMoviePlayerViewController::speedBackward() {
    setCurrentPlayRate(currentPlayRate_ > -2 ? -2 : currentPlayRate_ - 2);
}

void MQMoviePlayerViewController::seekPlayers(double seconds, bool exact) {
    for (MpvPlayer* p : {player_, secondaryPlayer_}) {
        if (p) {
            p->seek(seconds, exact);
        }
    }
}

void MQMoviePlayerViewController::fastForward() {
    if (!hasMovie()) {
        return;
    }
    pause();
    const double step = MQTimeUtility::sharedInstance()
                            .getCMTimeWithFrame(MQSetting::shareInstance().forwardBackwardPerKey())
                            .seconds();
    // A step of a few frames only makes sense as an exact seek.
    seekPlayers(std::min(currentTimeSeconds() + step, movieInfo_.duration), true);
    updateTimeLabels();
}

void MQMoviePlayerViewController::rewind() {
    if (!hasMovie()) {
        return;
    }
    pause();
    const double step = MQTimeUtility::sharedInstance()
                            .getCMTimeWithFrame(MQSetting::shareInstance().forwardBackwardPerKey())
                            .seconds();
    const double now = currentTimeSeconds();
    seekPlayers(now < step ? 0 : now - step, true);
    updateTimeLabels();
}

void MQMoviePlayerViewController::gotoStart() {
    pause();
    setCurrentTime(0);
}

void MQMoviePlayerViewController::gotoEnd() {
    pause();
    setCurrentTime(movieInfo_.duration);
}

void MQMoviePlayerViewController::setCurrentTime(double seconds) {
    if (!hasMovie()) {
        return;
    }
    slider_->setValue(static_cast<int>(seconds * kSliderUnitsPerSecond));
    seekPlayers(seconds, true);
    updateTimeLabels();
    if (delegate_) {
        delegate_->moviePlayerDidGotoTime();
    }
}

void MQMoviePlayerViewController::gotoTime(double seconds, bool needResetPointer) {
    if (!hasMovie()) {
        return;
    }
    seekPlayers(seconds, true);
    updateTimeLabels();
    if (needResetPointer && waveformLayer_) {
        waveformLayer_->resetPointer();
    }
}

void MQMoviePlayerViewController::jumptoTime(double seconds) {
    setCurrentTime(seconds);
}

void MQMoviePlayerViewController::didSliderAction() {
    const bool wasPlaying = isPlaying();
    stopRepeatPlaySubtitle();
    seekPlayers(static_cast<double>(slider_->value()) / kSliderUnitsPerSecond, false);
    updateTimeLabels();
    if (delegate_) {
        delegate_->moviePlayerDidGotoTime();
    }
    if (wasPlaying) {
        for (MpvPlayer* p : {player_, secondaryPlayer_}) {
            if (p) {
                p->setRate(currentPlayRate_);
                p->setPaused(false);
            }
        }
    }
}

void MQMoviePlayerViewController::didGotoTimeWithPercentage(double fraction) {
    if (!hasMovie()) {
        return;
    }
    if (isPlaying()) {
        pause();
    }
    stopRepeatPlaySubtitle();
    jumptoTime(movieInfo_.duration * fraction);
}

void MQMoviePlayerViewController::highlightSubtitle(const SubtitleLinePtr& line) {
    if (line && line->isStartTimeValid()) {
        gotoTime(line->startTime(), false);
    }
}

void MQMoviePlayerViewController::playRepeatSubtitle(const SubtitleLinePtr& line, double speed) {
    if (!hasMovie() || !line) {
        return;
    }
    {
        std::lock_guard lock(repeatMutex_);
        repeatSubtitle_ = line;
    }
    gotoTime(line->startTime(), false);
    currentPlayRate_ = speed;
    if (isPlaying()) {
        player_->setRate(speed);
    }
    play();
}

double MQMoviePlayerViewController::volume() const {
    return player_->volume();
}

void MQMoviePlayerViewController::setVolume(double volume) {
    player_->setVolume(volume);
}

QString MQMoviePlayerViewController::currentPlayTimeString() const {
    return MQTimeUtility::sharedInstance().timeStringFromCMTime(currentTime());
}

void MQMoviePlayerViewController::updateTimeLabels() {
    currentTimeLabel_->setText(
        MQTimeUtility::sharedInstance().rawTimeStringFromCMTime(currentTime()));
}

void MQMoviePlayerViewController::timeObserverTick() {
    if (!hasMovie()) {
        return;
    }
    const double t = currentTimeSeconds();
    if (compositeItem_ && secondaryVideo_) {
        secondaryVideo_->setVisible(compositeItem_->displaySecondaryMovieInTime(t));
    }
    direction_.update(t);
    if (!slider_->isSliderDown()) {
        slider_->setValue(static_cast<int>(t * kSliderUnitsPerSecond));
    }
    updateTimeLabels();
    if (waveformLayer_) {
        Q_EMIT waveformLayer_->needsDisplay();
    }
    if (delegate_) {
        setCurrentDisplaySubtitleLine(delegate_->moviePlayerDisplaySubtitleAtTime(t));
    }
    std::unique_lock lock(repeatMutex_);
    if (repeatSubtitle_ && repeatSubtitle_->endTime() <= t) {
        const double start = repeatSubtitle_->startTime();
        lock.unlock();
        jumptoTime(start);
    }
}

void MQMoviePlayerViewController::setCurrentDisplaySubtitleLine(const SubtitleLinePtr& line) {
    if (line == displayedLine_) {
        return;
    }
    if (displayedLine_ && displayedObserver_) {
        displayedLine_->removeObserver(displayedObserver_);
    }
    displayedLine_ = line;
    displayedObserver_ = 0;
    if (!line) {
        setSubtitleLayerText(QString());
        return;
    }
    QPointer<MQMoviePlayerViewController> self(this);
    displayedObserver_ =
        line->addObserver([self](SubtitleLine& changed, SubtitleLine::Change what) {
            if (self && what == SubtitleLine::Change::Text) {
                self->setSubtitleLayerText(changed.text());
            }
        });
    setSubtitleLayerText(line->text());
}

void MQMoviePlayerViewController::setSubtitleLayerText(const QString& text) {
    QString shown = text;
    shown.replace(QChar(0x23CE), QChar(u'\n'));
    subtitleLayer_->setText(shown);
    subtitleLayer_->setVisible(!shown.isEmpty());
    layoutOverlay();
}

QString MQMoviePlayerViewController::subtitleLayerText() const {
    return subtitleLayer_->text();
}

void MQMoviePlayerViewController::layoutOverlay() {
    const int width = std::max(0, videoArea_->width() - 120);
    const QFontMetrics metrics(subtitleLayer_->font());
    const QRect bounds = metrics.boundingRect(
        QRect(0, 0, width, 10000), Qt::AlignCenter | Qt::TextWordWrap, subtitleLayer_->text());
    const int height = std::max(45, bounds.height() + 8);
    subtitleLayer_->setGeometry(60, videoArea_->height() - 30 - height, width, height);
    subtitleLayer_->raise();
    for (QLabel* notice : {unplayableLabel_, noVideoLabel_, spinner_}) {
        notice->setGeometry(videoArea_->rect());
    }
    if (secondaryVideo_) {
        secondaryVideo_->setGeometry(videoArea_->rect());
    }
}

void MQMoviePlayerViewController::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutOverlay();
}
