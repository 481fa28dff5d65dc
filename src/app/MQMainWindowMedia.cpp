// The main window's movie side: the player beside the editor, the waveform editor beneath both,
// loading a movie into them, and the answers the player and the waveform ask of the editor text.
#include "app/MQMainWindowController.h"
#include "editor/views/SubtitleTextView.h"

#include "media/views/MQMediaPane.h"
#include "media/views/MpvPlayer.h"
#include "model/MQSetting.h"
#include "model/MQTimeUtility.h"
#include "platform/NotificationCenter.h"
#include "platform/PromptService.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kZoomSliderSteps = 100;
constexpr int kDragSpeeds = 3;

// Headless runs (tests, offscreen) have nothing to draw video into nor anyone listening.
MQMoviePlayerViewController::Options playerOptions() {
    MQMoviePlayerViewController::Options options;
    const bool headless = QGuiApplication::platformName() == QLatin1String("offscreen");
    options.renderVideo = !headless;
    options.audioOutput = qEnvironmentVariable("MARQUEE_AUDIO_OUTPUT");
    if (options.audioOutput.isEmpty() && headless) {
        options.audioOutput = QStringLiteral("null");
    }
    return options;
}

QToolButton* waveformButton(QWidget* parent, const QString& title, const QString& tooltip) {
    auto* button = new QToolButton(parent);
    button->setText(title);
    button->setToolTip(tooltip);
    button->setAutoRaise(true);
    return button;
}

} // namespace

// The window answers the player and the waveform editor from the editor text. Owned by the
// media pane; the window detaches it before the pane is torn down (detachMediaDelegates), so
// it never reaches into a pane that is half destroyed.
class MediaDelegates : public QObject, public MoviePlayerDelegate, public MQWaveFormViewDelegate {
public:
    MediaDelegates(MQMainWindowController& window, MQMediaPane& pane)
        : QObject(&pane), window_(window) {
        pane.player()->setDelegate(this);
        pane.waveFormView()->setDelegate(this);
    }
    void moviePlayerDidPlay(bool isPlayRepeatSubtitle) override {
        if (!isPlayRepeatSubtitle) {
            window_.textView()->setFocus();
        }
    }
    SubtitleLinePtr moviePlayerDisplaySubtitleAtTime(double seconds) override {
        return window_.moviePlayerDisplaySubtitleAtTime(seconds);
    }

    SubtitleLineList subtitleForStartTime(double start, double end) override {
        return window_.subtitleTextModel().subtitleForStartTimeAndEndTime(start, end);
    }
    SubtitleLinePtr previousSubtitleLineForLine(const SubtitleLinePtr& line) override {
        return window_.subtitleTextModel().previousSubtitleLineForLine(line);
    }
    SubtitleLinePtr nextSubtitleLineForLine(const SubtitleLinePtr& line) override {
        return window_.subtitleTextModel().nextSubtitleLineForLine(line);
    }

private:
    MQMainWindowController& window_;
};

// ---------------------------------------------------------------------------------------------
// Building

void MQMainWindowController::buildMediaPanes(QSplitter* moviePaneParent) {
    mediaPane_ = std::make_unique<MQMediaPane>(playerOptions(), nullptr);
    new MediaDelegates(*this, *mediaPane_);
    MQMoviePlayerViewController* player = mediaPane_->player();
    player->setObjectName(QStringLiteral("moviePane"));
    player->setMinimumWidth(320);
    moviePaneParent->addWidget(player);
    moviePane_ = player;
    connect(mediaPane_.get(), &MQMediaPane::movieLoaded, this,
            &MQMainWindowController::wireLoadedMovie);
}

void MQMainWindowController::detachMediaDelegates() {
    if (mediaPane_) {
        mediaPane_->player()->setDelegate(nullptr);
        mediaPane_->waveFormView()->setDelegate(nullptr);
    }
}

QWidget* MQMainWindowController::buildWaveformPane(QWidget* parent) {
    auto* pane = new QWidget(parent);
    pane->setObjectName(QStringLiteral("waveformPane"));
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* buttons = new QWidget(pane);
    buttons->setObjectName(QStringLiteral("waveformButtons"));
    buttons->setStyleSheet(
        QStringLiteral("#waveformButtons { border-bottom: 1px solid rgb(224,224,224); }"));
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(4, 2, 4, 2);
    const auto add = [&](const QString& title, const QString& tooltip, auto command) {
        QToolButton* button = waveformButton(buttons, title, tooltip);
        connect(button, &QToolButton::clicked, this, command);
        row->addWidget(button);
        return button;
    };
    add(QStringLiteral("Rebuild"),
        QStringLiteral("Rebuild when there is problem with the waveform"),
        &MQMainWindowController::didPressRebuildWaveformButton);
    row->addSpacing(12);
    add(QStringLiteral("L"), QStringLiteral("Left channel"),
        &MQMainWindowController::didPressLeftChannelButton);
    add(QStringLiteral("R"), QStringLiteral("Right channel"),
        &MQMainWindowController::didPressRightChannelButton);
    add(QStringLiteral("L+R"), QStringLiteral("Both channels"),
        &MQMainWindowController::didPressLeftAndRightChannelButton);
    row->addSpacing(12);
    add(QStringLiteral("-"), QStringLiteral("Zoom out"),
        &MQMainWindowController::decreaseWaveFormSlider);
    waveFormZoomSlider_ = new QSlider(Qt::Horizontal, buttons);
    waveFormZoomSlider_->setObjectName(QStringLiteral("waveFormZoomSlider"));
    waveFormZoomSlider_->setRange(1, kZoomSliderSteps);
    waveFormZoomSlider_->setFixedWidth(120);
    waveFormZoomSlider_->setValue(
        int(MQSetting::shareInstance().waveFormZoomRate() * kZoomSliderSteps + 0.5));
    connect(waveFormZoomSlider_, &QSlider::valueChanged, this, [this](int value) {
        if (WaveformLayer* layer = mediaPane_->waveformLayer()) {
            layer->setZoomRate(double(value) / kZoomSliderSteps);
            Q_EMIT layer->needsDisplay();
        }
    });
    row->addWidget(waveFormZoomSlider_);
    add(QStringLiteral("+"), QStringLiteral("Zoom in"),
        &MQMainWindowController::increaseWaveFormSlider);
    row->addSpacing(12);

    const QString dragSpeedTip =
        QStringLiteral("Video playing speed during drag-wavefrom-make-timecode");
    auto* dragLabel = new QLabel(QStringLiteral("Drag Speed"), buttons);
    dragLabel->setToolTip(dragSpeedTip);
    row->addWidget(dragLabel);
    auto* dragSpeeds = new QButtonGroup(buttons);
    dragSpeeds->setObjectName(QStringLiteral("dragSpeedControl"));
    for (int segment = 0; segment < kDragSpeeds; ++segment) {
        QToolButton* button =
            waveformButton(buttons, QStringLiteral("%1x").arg(segment + 1), dragSpeedTip);
        button->setCheckable(true);
        dragSpeeds->addButton(button, segment);
        row->addWidget(button);
    }
    const int stored = std::clamp(MQSetting::shareInstance().dragPlayRate(), 1, kDragSpeeds);
    dragSpeeds->button(stored - 1)->setChecked(true);
    connect(dragSpeeds, &QButtonGroup::idClicked, this,
            &MQMainWindowController::didChangeDragPlayRate);
    row->addStretch(1);
    layout->addWidget(buttons);

    MQWaveFormView* waveform = mediaPane_->waveFormView();
    waveform->setDragPlayRate(stored);
    layout->addWidget(waveform, 1);
    layout->addWidget(mediaPane_->progressIndicator());
    return pane;
}

MoviePlayerControl* MQMainWindowController::moviePlayerControl() const {
    return mediaPane_ ? mediaPane_->player() : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Loading and closing

void MQMainWindowController::loadMovie() {
    FilePanel panel;
    panel.title = QStringLiteral("Import Movie");
    panel.extensions = movieTypes();
    const QString path = PromptService::chooseFile(panel);
    if (!path.isEmpty()) {
        openMovie(path);
    }
}

void MQMainWindowController::openMovie(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        PromptService::warning(QStringLiteral("Can not load movie file"));
        return;
    }
    // Opening a movie does not save the editor text: work that was unsaved stays unsaved, and
    // a saved project that changes its movie has changed.
    const bool keepsSaved = saved_ && path == movieFilePath_;
    clean();
    movieFilePath_ = path;
    saved_ = keepsSaved;
    if (mediaPane_->openMovie(path)) {
        projectNeedComposition_ = false;
        projectOnlyAssembleAudio_ = false;
    }
}

// The pane has wired the new waveform layer and started the extraction.
void MQMainWindowController::wireLoadedMovie() {
    syncFrameRateSelector();
    // The lines were parsed at the rate in force before the movie set its own.
    if (!subtitleTextModel().text().isEmpty()) {
        didPressRebuildWaveformButton();
    }

    const double seek = qEnvironmentVariable("MARQUEE_SCREENSHOT_SEEK").toDouble();
    if (seek > 0) {
        // For screenshots: a still frame a little into the movie, its subtitle shown.
        MQMoviePlayerViewController* player = mediaPane_->player();
        connect(
            player->mpvPlayer(), &MpvPlayer::fileLoaded, player,
            [this, player, seek] {
                player->gotoTime(seek);
                refreshSubtitleAtTime(seek);
            },
            Qt::SingleShotConnection);
    }
}

void MQMainWindowController::closeMovie() {
    mediaPane_->clean();
    movieFilePath_.clear();
}

// ---------------------------------------------------------------------------------------------
// The player's and the editor's questions

SubtitleLinePtr MQMainWindowController::moviePlayerDisplaySubtitleAtTime(double seconds) {
    const MediaTime time = MQTimeUtility::sharedInstance().getCMTimeWithTimeInteval(seconds);
    SubtitleLinePtr line = subtitleTextModel().getCurrentSubtitle(time);
    const SubtitleLinePtr next = subtitleTextModel().getNextSubtitleLineAtTime(time);
    NotificationCenter::defaultCenter().post(WaveFormNotification::kSetNextSubtitleText,
                                             next ? next->text() : QString());
    return line;
}

void MQMainWindowController::refreshSubtitleAtTime(double seconds) {
    mediaPane_->player()->setCurrentDisplaySubtitleLine(moviePlayerDisplaySubtitleAtTime(seconds));
}

void MQMainWindowController::seekToSelectedTimeCode(const MediaTime& time) {
    if (WaveformLayer* layer = mediaPane_->waveformLayer()) {
        layer->setIsScroll(false);
    }
    mediaPane_->player()->gotoTime(time.seconds());
    refreshSubtitleAtTime(time.seconds());
}

// ---------------------------------------------------------------------------------------------
// The buttons over the waveform

void MQMainWindowController::didPressRebuildWaveformButton() {
    // Every line is parsed afresh at the current rate and announced again, so the waveform
    // rebuilds its blocks and summary; the editor text, its undo history and the saved state
    // stay as they are.
    mediaPane_->waveFormView()->removeAllTextViewFromWaveForm();
    subtitleTextModel().setString(subtitleTextModel().text());
}

void MQMainWindowController::didPressLeftChannelButton() {
    if (WaveformLayer* layer = mediaPane_->waveformLayer()) {
        layer->setDisplayStyle(1);
    }
}

void MQMainWindowController::didPressRightChannelButton() {
    if (WaveformLayer* layer = mediaPane_->waveformLayer()) {
        layer->setDisplayStyle(2);
    }
}

void MQMainWindowController::didPressLeftAndRightChannelButton() {
    if (WaveformLayer* layer = mediaPane_->waveformLayer()) {
        layer->setDisplayStyle(0);
    }
}

void MQMainWindowController::increaseWaveFormSlider() {
    waveFormZoomSlider_->setValue(waveFormZoomSlider_->value() + 1);
}

void MQMainWindowController::decreaseWaveFormSlider() {
    waveFormZoomSlider_->setValue(waveFormZoomSlider_->value() - 1);
}

void MQMainWindowController::increaseWaveFormYAxisZoomRate() {
    if (WaveformLayer* layer = mediaPane_->waveformLayer()) {
        layer->increaseWaveFormYAxisZoomRate();
        Q_EMIT layer->needsDisplay();
    }
}

void MQMainWindowController::decreaseWaveFormYAxisZoomRate() {
    if (WaveformLayer* layer = mediaPane_->waveformLayer()) {
        layer->decreaseWaveFormYAxisZoomRate();
        Q_EMIT layer->needsDisplay();
    }
}

void MQMainWindowController::didChangeDragPlayRate(int segment) {
    const int rate = std::clamp(segment + 1, 1, kDragSpeeds);
    mediaPane_->waveFormView()->setDragPlayRate(rate);
    MQSetting& settings = MQSetting::shareInstance();
    settings.setDragPlayRate(rate);
    settings.save();
}
