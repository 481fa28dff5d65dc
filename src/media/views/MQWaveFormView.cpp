#include "media/views/MQWaveFormView.h"

#include "media/views/MQMoviePlayerViewController.h"
#include "model/MQSetting.h"
#include "model/MQTimeUtility.h"
#include "platform/NotificationCenter.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace {

const QColor kBlockFill(255, 25, 25, 77); // red 1.0, green 0.1, blue 0.1 at 30%
const QColor kMarkerColor(4, 109, 255);
constexpr double kMinimumSubtitleSeconds = 0.5;
constexpr double kGuardFrames = 10;

void post(const QString& name, const QVariant& object, const QVariantMap& info = {}) {
    NotificationCenter::defaultCenter().post(name, object, info);
}

QVariant lineObject(const SubtitleLinePtr& line) {
    return QVariant::fromValue(line);
}

} // namespace

// ---- MQWaveFormTextView

MQWaveFormTextView::MQWaveFormTextView(MQWaveFormView* owner, QWidget* parent)
    : QWidget(parent), owner_(owner) {
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
}

MQWaveFormTextView::~MQWaveFormTextView() {
    setSubtitleLine(nullptr);
}

void MQWaveFormTextView::setSubtitleLine(const SubtitleLinePtr& line) {
    if (line_ && observer_) {
        line_->removeObserver(observer_);
    }
    observer_ = 0;
    line_ = line;
    if (!line_) {
        return;
    }
    QPointer<MQWaveFormTextView> self(this);
    observer_ = line_->addObserver([self](SubtitleLine&, SubtitleLine::Change) {
        // Placement never runs inside the change itself.
        QMetaObject::invokeMethod(
            qApp,
            [self] {
                if (self) {
                    self->calculateAndSetFrame();
                    self->update();
                }
            },
            Qt::QueuedConnection);
    });
}

void MQWaveFormTextView::calculateAndSetFrame() {
    if (!line_ || dragging_) {
        return;
    }
    const double pps = owner_->pixelsPerSecond();
    double end = line_->endTime();
    if (isPerformingEndTimeCode && owner_->player()) {
        end = owner_->player()->currentTimeSeconds();
    }
    const double x = pps * line_->startTime() - owner_->xOffset();
    const double width = std::max(0.0, pps * (end - line_->startTime()));
    const int y = (owner_->height() - kHeight) / 2;
    setGeometry(QRectF(x, y, width, kHeight).toRect());
}

void MQWaveFormTextView::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    update();
}

bool MQWaveFormTextView::pressAt(const QPointF& point) {
    const double localX = point.x() - x();
    if (localX < kEdgeWidth) {
        beginEdgeDrag(point, true, false);
        return true;
    }
    if (localX >= width() - kEdgeWidth) {
        beginEdgeDrag(point, false, false);
        return true;
    }
    return false;
}

void MQWaveFormTextView::beginEdgeDrag(const QPointF& point, bool leftEdge, bool fromSlide) {
    dragging_ = true;
    draggingFromSlide_ = fromSlide;
    dragLeft_ = leftEdge;
    pressPoint_ = point;
    originalFrame_ = geometry();
    changedStartTime_ = line_->startTime();
    changedEndTime_ = line_->endTime();
    if (!fromSlide) {
        setCursor(Qt::SizeHorCursor);
        timeLabel_ = new QLabel(parentWidget());
        timeLabel_->setFont(QFont(QStringLiteral("Helvetica")));
        timeLabel_->setStyleSheet(QStringLiteral("background: white;"));
        timeLabel_->setText(MQTimeUtility::sharedInstance().timeStringFromTimeInterval(
            dragLeft_ ? changedStartTime_ : changedEndTime_));
        timeLabel_->setGeometry(static_cast<int>(point.x()) - 50, static_cast<int>(point.y()) - 30,
                                100, 20);
        timeLabel_->show();
        post(dragLeft_ ? WaveFormNotification::kDidSelectStartTimeCode
                       : WaveFormNotification::kDidSelectEndTimeCode,
             lineObject(line_));
    }
}

void MQWaveFormTextView::dragTo(const QPointF& point) {
    if (!dragging_) {
        return;
    }
    const double dx = point.x() - pressPoint_.x();
    if (std::fabs(dx) < 2) {
        return;
    }
    const double pps = owner_->pixelsPerSecond();
    const double offset = owner_->xOffset();
    const double x0 = originalFrame_.x();
    const double w0 = originalFrame_.width();
    double newTime = 0;
    if (!dragLeft_) {
        double right = x0 + w0 + dx;
        right = std::max(right, x0 + pps * kMinimumSubtitleSeconds);
        right = std::min(right, pps * owner_->getMaxTimeValue(this) - offset);
        setGeometry(QRectF(x0, originalFrame_.y(), right - x0, kHeight).toRect());
        changedEndTime_ = (right + offset) / pps;
        newTime = changedEndTime_;
    } else {
        double left = x0 + dx;
        left = std::max(left, pps * owner_->getMinTimeValue(this) - offset);
        left = std::min(left, x0 + w0 - pps * kMinimumSubtitleSeconds);
        setGeometry(QRectF(left, originalFrame_.y(), w0 - (left - x0), kHeight).toRect());
        changedStartTime_ = (left + offset) / pps;
        newTime = changedStartTime_;
    }
    if (timeLabel_) {
        timeLabel_->setText(MQTimeUtility::sharedInstance().timeStringFromTimeInterval(newTime));
        timeLabel_->setGeometry(static_cast<int>(point.x()) - 50, static_cast<int>(point.y()) - 30,
                                100, 20);
    }
    if (!draggingFromSlide_) {
        post(dragLeft_ ? WaveFormNotification::kDidChangeStartTimeCode
                       : WaveFormNotification::kDidChangeEndTimeCode,
             newTime);
        if (dragLeft_) {
            owner_->mouseDidBeginDragLeftRect(this, point);
        } else {
            owner_->mouseDidBeginDragRightRect(this, point);
        }
    }
}

void MQWaveFormTextView::release() {
    if (!dragging_) {
        return;
    }
    dragging_ = false;
    line_->setStartTime(changedStartTime_);
    line_->setEndTime(changedEndTime_);
    delete timeLabel_;
    timeLabel_ = nullptr;
    unsetCursor();
    const bool fromSlide = draggingFromSlide_;
    draggingFromSlide_ = false;
    if (!fromSlide) {
        owner_->mouseDidEndDragRect(this);
    }
}

void MQWaveFormTextView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBlockFill);
    painter.setPen(highlighted_ ? Qt::yellow : Qt::red);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (line_) {
        painter.setPen(Qt::white);
        painter.setFont(QFont(QStringLiteral("Helvetica"), 14));
        QString text = line_->text();
        text.replace(QChar(0x23CE), QChar(u'\n'));
        painter.drawText(rect().adjusted(4, 4, -4, -4),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    }
}

void MQWaveFormTextView::mousePressEvent(QMouseEvent* event) {
    const QPointF point = mapToParent(event->position());
    clickPending_ = !pressAt(point);
    if (clickPending_) {
        owner_->didSelectMQWaveFormTextView(this);
    }
}

void MQWaveFormTextView::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        dragTo(mapToParent(event->position()));
    } else if (!event->buttons()) {
        const double x = event->position().x();
        setCursor(x < kEdgeWidth || x >= width() - kEdgeWidth ? Qt::SizeHorCursor
                                                              : Qt::ArrowCursor);
    }
}

void MQWaveFormTextView::mouseReleaseEvent(QMouseEvent*) {
    if (dragging_) {
        release();
    } else if (clickPending_) {
        post(WaveFormNotification::kHighlightSubtitleText, lineObject(line_));
    }
    clickPending_ = false;
}

void MQWaveFormTextView::mouseDoubleClickEvent(QMouseEvent*) {
    owner_->showEditTextView(this);
}

void MQWaveFormTextView::enterEvent(QEnterEvent*) {
    if (width() > 20 && owner_->isWaveFormEditing() == false) {
        owner_->showPlayButton(this);
    }
}

void MQWaveFormTextView::leaveEvent(QEvent*) {
    owner_->hidePlayButton(this);
}

// ---- OverDifferenceSummaryView

OverDifferenceSummaryView::OverDifferenceSummaryView(MQWaveFormView* owner)
    : QWidget(owner), owner_(owner) {}

void OverDifferenceSummaryView::setWindow(double fromFraction, double widthFraction) {
    if (pressed_) {
        return;
    }
    windowFrom_ = fromFraction;
    windowWidth_ = widthFraction;
    update();
}

void OverDifferenceSummaryView::setBlocks(std::vector<std::pair<double, double>> fractions) {
    blocks_ = std::move(fractions);
    update();
}

void OverDifferenceSummaryView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const double w = width();
    for (const auto& [from, to] : blocks_) {
        painter.fillRect(QRectF(from * w, 0, (to - from) * w, height()), kBlockFill);
    }
    painter.setPen(QPen(kMarkerColor, 1));
    painter.drawRect(
        QRectF(windowFrom_ * w, 0.5, std::max(1.0, windowWidth_ * w - 1), height() - 1));
}

void OverDifferenceSummaryView::jumpTo(double x) {
    const double w = std::max(1, width());
    const double fraction = std::clamp(x / w, 0.0, 1.0);
    const double half = windowWidth_ / 2;
    windowFrom_ = std::clamp(fraction - half, 0.0, std::max(0.0, 1.0 - windowWidth_));
    update();
    owner_->summaryDidJump(fraction, true);
}

void OverDifferenceSummaryView::mousePressEvent(QMouseEvent* event) {
    pressed_ = true;
    const double x = event->position().x() / std::max(1, width());
    if (x < windowFrom_ || x > windowFrom_ + windowWidth_) {
        jumpTo(event->position().x());
    }
}

void OverDifferenceSummaryView::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_) {
        jumpTo(event->position().x());
    }
}

void OverDifferenceSummaryView::mouseReleaseEvent(QMouseEvent*) {
    pressed_ = false;
    owner_->summaryDidJump(-1, false);
}

// ---- MQWaveFormView

MQWaveFormView::MQWaveFormView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumHeight(MQWaveFormTextView::kHeight + OverDifferenceSummaryView::kHeight + 20);
    dragPlayRate_ = MQSetting::shareInstance().dragPlayRate();
    overView_ = new OverDifferenceSummaryView(this);
    nextLabel_ = new QLabel(this);
    nextLabel_->setFont(QFont(QStringLiteral("Helvetica"), 14));
    nextLabel_->setStyleSheet(
        QStringLiteral("color: black; background-color: rgba(255, 255, 255, 179);"));
    nextLabel_->hide();
    editor_ = new QPlainTextEdit(this);
    editor_->hide();
    editTimer_.setSingleShot(true);
    editTimer_.setInterval(300);
    connect(editor_, &QPlainTextEdit::textChanged, this, [this] {
        if (editingView_) {
            editTimer_.start();
        }
    });
    connect(&editTimer_, &QTimer::timeout, this, [this] {
        if (!editingView_) {
            return;
        }
        QVariantMap info{{QStringLiteral("subtitle"), lineObject(editingView_->subtitleLine())}};
        post(WaveFormNotification::kUpdateSubtitleTextViewText, editor_->toPlainText(), info);
    });
    summaryTimer_.setSingleShot(true);
    summaryTimer_.setInterval(1000);
    connect(&summaryTimer_, &QTimer::timeout, this, &MQWaveFormView::refreshSummary);
    scrollEndTimer_.setSingleShot(true);
    scrollEndTimer_.setInterval(100);
    connect(&scrollEndTimer_, &QTimer::timeout, this, [this] {
        if (layer_) {
            layer_->setIsScroll(false);
        }
    });

    playButton_ = new QToolButton(this);
    playButton_->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    playButton_->hide();
    connect(playButton_, &QToolButton::clicked, this, &MQWaveFormView::didPressRepeatPlayShortCut);
    deleteButton_ = new QToolButton(this);
    deleteButton_->setIcon(style()->standardIcon(QStyle::SP_DialogDiscardButton));
    deleteButton_->hide();
    connect(deleteButton_, &QToolButton::clicked, this, [this] {
        MQWaveFormTextView* view = buttonsView_;
        if (!view) {
            return;
        }
        hideEditTextView();
        if (player_ && player_->repeatSubtitle() == view->subtitleLine()) {
            player_->stopRepeatPlaySubtitle();
        }
        post(WaveFormNotification::kDeleteSubtitleLineFromTextView,
             lineObject(view->subtitleLine()));
        hidePlayButton(view);
        removeTextViewFromWaveForm(view);
    });

    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(WaveFormNotification::kAddSubtitleLineToWaveForm, this,
                       [this](const Notification& n) {
                           addSubtitleAtIndex(n.object.value<SubtitleLinePtr>(),
                                              n.userInfo.value(QStringLiteral("index")).toInt());
                       });
    center.addObserver(WaveFormNotification::kDeleteSubtitleLineFromWaveForm, this,
                       [this](const Notification& n) {
                           deleteSubtitleAtIndex(n.object.value<SubtitleLinePtr>(),
                                                 n.userInfo.value(QStringLiteral("index")).toInt());
                       });
    center.addObserver(WaveFormNotification::kHasInsertStartTimeCode, this,
                       [this](const Notification& n) {
                           const auto line = n.object.value<SubtitleLinePtr>();
                           if (!line) {
                               return;
                           }
                           calculatingEndTimeView_ = new MQWaveFormTextView(this, this);
                           calculatingEndTimeView_->setSubtitleLine(line);
                           calculatingEndTimeView_->isPerformingEndTimeCode = true;
                           calculatingEndTimeView_->calculateAndSetFrame();
                           calculatingEndTimeView_->show();
                       });
    center.addObserver(
        WaveFormNotification::kHasInsertEndTimeCode, this, [this](const Notification&) {
            if (!calculatingEndTimeView_) {
                return;
            }
            MQWaveFormTextView* view = calculatingEndTimeView_;
            calculatingEndTimeView_ = nullptr;
            view->isPerformingEndTimeCode = false;
            auto position = std::upper_bound(textLayers_.begin(), textLayers_.end(), view,
                                             [](MQWaveFormTextView* a, MQWaveFormTextView* b) {
                                                 return a->subtitleLine()->startTime() <
                                                        b->subtitleLine()->startTime();
                                             });
            textLayers_.insert(position, view);
            view->calculateAndSetFrame();
        });
    center.addObserver(WaveFormNotification::kSetNextSubtitleText, this,
                       [this](const Notification& n) {
                           nextLabel_->setText(n.object.toString());
                           nextLabel_->adjustSize();
                           nextLabel_->setVisible(!nextLabel_->text().isEmpty());
                       });
}

MQWaveFormView::~MQWaveFormView() {
    for (size_t i = 0; i < summaryLines_.size(); ++i) {
        summaryLines_[i]->removeObserver(summaryObservers_[i]);
    }
}

void MQWaveFormView::setWaveFormLayer(WaveformLayer* layer) {
    if (layer_) {
        disconnect(layer_, nullptr, this, nullptr);
        layer_->setDelegate(nullptr);
    }
    layer_ = layer;
    if (layer_) {
        layer_->setDelegate(this);
        layer_->setBoundsSize(width(), height());
        connect(layer_, &WaveformLayer::needsDisplay, this, qOverload<>(&QWidget::update));
    }
    update();
}

double MQWaveFormView::pixelsPerSecond() const {
    return layer_ ? layer_->getSampleRate() : WaveformAudioDataStore::kEnvelopeRate;
}

double MQWaveFormView::xOffset() const {
    return layer_ ? layer_->mCurrentDrawRect().x() : 0;
}

double MQWaveFormView::getCurrentViewStartTime() const {
    return xOffset() / pixelsPerSecond();
}

double MQWaveFormView::getCurrentViewEndTime() const {
    return getCurrentViewStartTime() + width() / pixelsPerSecond();
}

double MQWaveFormView::movieDuration() const {
    return player_ && player_->hasMovie() ? player_->duration().seconds() : 0;
}

double MQWaveFormView::getTotalWidth() const {
    return movieDuration() * pixelsPerSecond();
}

bool MQWaveFormView::hasWaveformData() const {
    return layer_ && !layer_->getDataStoreArray().empty();
}

void MQWaveFormView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!layer_) {
        painter.fillRect(rect(), WaveformLayer::kBackgroundColor);
        return;
    }
    layer_->draw(painter);
}

void MQWaveFormView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The visible window keeps its centre.
    const double origin = std::max(0.0, xOffset() + lastWidth_ / 2 - width() / 2.0);
    lastWidth_ = width();
    overView_->setGeometry(0, height() - OverDifferenceSummaryView::kHeight, width(),
                           OverDifferenceSummaryView::kHeight);
    if (layer_) {
        layer_->setBoundsSize(width(), height());
        layer_->setNewOriginX(origin);
    }
    arrangeTextLayerPosition();
}

// ---- visible blocks

MQWaveFormTextView* MQWaveFormView::createWaveFormTextView(const SubtitleLinePtr& line) {
    MQWaveFormTextView* view = nullptr;
    if (!reuseTextLayers_.empty()) {
        view = reuseTextLayers_.back();
        reuseTextLayers_.pop_back();
    } else {
        view = new MQWaveFormTextView(this, this);
    }
    view->setSubtitleLine(line);
    view->isDraggingToCreate = false;
    view->isPerformingEndTimeCode = false;
    view->setHighlighted(false);
    size_t position = 0;
    while (position < textLayers_.size() &&
           textLayers_[position]->subtitleLine()->startTime() < line->endTime()) {
        ++position;
    }
    textLayers_.insert(textLayers_.begin() + static_cast<long>(position), view);
    view->calculateAndSetFrame();
    view->show();
    nextLabel_->raise();
    overView_->raise();
    return view;
}

void MQWaveFormView::removeTextViewFromWaveForm(MQWaveFormTextView* view) {
    auto found = std::find(textLayers_.begin(), textLayers_.end(), view);
    if (found == textLayers_.end()) {
        return;
    }
    textLayers_.erase(found);
    if (highlightView_ == view) {
        highlightView_ = nullptr;
    }
    if (selectedView_ == view) {
        selectedView_ = nullptr;
    }
    if (editingView_ == view) {
        hideEditTextView();
    }
    if (buttonsView_ == view) {
        hidePlayButton(view);
    }
    view->hide();
    view->setSubtitleLine(nullptr);
    reuseTextLayers_.push_back(view);
}

void MQWaveFormView::removeAllTextViewFromWaveForm() {
    while (!textLayers_.empty()) {
        removeTextViewFromWaveForm(textLayers_.back());
    }
}

void MQWaveFormView::setSubtitleLines(const SubtitleLineList& lines) {
    removeAllTextViewFromWaveForm();
    for (size_t i = 0; i < lines.size(); ++i) {
        addSubtitleAtIndex(lines[i], static_cast<int>(i));
    }
}

void MQWaveFormView::setNewOriginX(double) {
    if (delegate_) {
        const SubtitleLineList lines =
            delegate_->subtitleForStartTime(getCurrentViewStartTime(), getCurrentViewEndTime());
        std::vector<bool> covered(lines.size(), false);
        for (MQWaveFormTextView* view : std::vector<MQWaveFormTextView*>(textLayers_)) {
            bool matched = false;
            for (size_t i = 0; i < lines.size(); ++i) {
                if (lines[i]->startTime() == view->subtitleLine()->startTime() &&
                    lines[i]->endTime() == view->subtitleLine()->endTime()) {
                    covered[i] = true;
                    matched = true;
                }
            }
            if (!matched && view != calculatingEndTimeView_ && !view->isDragging()) {
                removeTextViewFromWaveForm(view);
            }
        }
        for (size_t i = 0; i < lines.size(); ++i) {
            if (!covered[i] && lines[i]->isValid()) {
                createWaveFormTextView(lines[i]);
            }
        }
    }
    arrangeTextLayerPosition();
    const double moved = xOffset() - lastOriginX_;
    lastOriginX_ = xOffset();
    if (creationView_ && createdLine_ && moved != 0) {
        // The strip paged under a drag-to-create: the press point moves with the strip and the
        // new subtitle grows by the distance paged.
        mouseDownX_ -= moved;
        createdLine_->setEndTime(createdLine_->endTime() + moved / pixelsPerSecond());
        QRect frame = creationView_->geometry();
        frame.moveLeft(static_cast<int>(mouseDownX_));
        frame.setWidth(frame.width() + static_cast<int>(moved));
        creationView_->setGeometry(frame);
    }
}

void MQWaveFormView::arrangeTextLayerPosition() {
    for (MQWaveFormTextView* view : textLayers_) {
        view->calculateAndSetFrame();
    }
    if (calculatingEndTimeView_) {
        calculatingEndTimeView_->calculateAndSetFrame();
    }
    const double total = getTotalWidth();
    if (total > 0) {
        overView_->setWindow(xOffset() / total, width() / total);
    }
    if (buttonsView_) {
        showPlayButton(buttonsView_);
    }
    if (editingView_) {
        editor_->setGeometry(editingView_->geometry());
    }
}

void MQWaveFormView::waveFormLayerDidChangeZoomRate() {
    setNewOriginX(xOffset());
}

void MQWaveFormView::waveFormLayerDidDrawPointer(double x) {
    if (!nextLabel_->text().isEmpty()) {
        nextLabel_->move(static_cast<int>(x), height() - nextLabel_->height() - 10);
    }
    const QPoint probe(static_cast<int>(x), height() / 2);
    if (highlightView_ && !highlightView_->geometry().contains(probe)) {
        if (!(player_ && player_->repeatSubtitle() == highlightView_->subtitleLine())) {
            highlightView_->setHighlighted(false);
            if (editingView_ == highlightView_) {
                hideEditTextView();
            }
            highlightView_ = nullptr;
        }
    }
    if (!highlightView_) {
        for (MQWaveFormTextView* view : textLayers_) {
            if (view->geometry().adjusted(-1, 0, 0, 0).contains(probe)) {
                highlightView_ = view;
                view->setHighlighted(true);
                break;
            }
        }
    }
    if (calculatingEndTimeView_) {
        calculatingEndTimeView_->calculateAndSetFrame();
    }
    if (creationView_ && player_ && x > creationView_->geometry().right()) {
        player_->stopRepeatPlaySubtitle();
    }
}

// ---- document changes

void MQWaveFormView::addSubtitleAtIndex(const SubtitleLinePtr& line, int index) {
    if (!line) {
        return;
    }
    MQWaveFormTextView* view = nullptr;
    if (line->isValid() && line->startTime() >= getCurrentViewStartTime() &&
        line->startTime() <= getCurrentViewEndTime()) {
        view = createWaveFormTextView(line);
    }
    const auto position =
        summaryLines_.begin() + std::clamp<long>(index, 0, static_cast<long>(summaryLines_.size()));
    const auto observerPosition = summaryObservers_.begin() + (position - summaryLines_.begin());
    summaryLines_.insert(position, line);
    QPointer<MQWaveFormView> self(this);
    summaryObservers_.insert(observerPosition,
                             line->addObserver([self](SubtitleLine&, SubtitleLine::Change what) {
                                 if (self && what != SubtitleLine::Change::Text) {
                                     self->summaryTimer_.start();
                                 }
                             }));
    summaryTimer_.start();
    nextLabel_->raise();
    if (view && needPlayAfterCreate_ && createdLine_ && line->text() == createdLine_->text()) {
        needPlayAfterCreate_ = false;
        createdLine_.reset();
        buttonsView_ = view;
        if (player_) {
            player_->playRepeatSubtitle(line);
        }
        if (line->text().isEmpty()) {
            showEditTextView(view);
        }
    }
}

void MQWaveFormView::deleteSubtitleAtIndex(const SubtitleLinePtr& line, int index) {
    if (line) {
        for (MQWaveFormTextView* view : std::vector<MQWaveFormTextView*>(textLayers_)) {
            if (view->subtitleLine()->startTime() == line->startTime() &&
                view->subtitleLine()->endTime() == line->endTime()) {
                if (calculatingEndTimeView_ == view) {
                    calculatingEndTimeView_ = nullptr;
                }
                removeTextViewFromWaveForm(view);
            }
        }
    }
    if (index >= 0 && index < static_cast<int>(summaryLines_.size())) {
        summaryLines_[index]->removeObserver(summaryObservers_[index]);
        summaryLines_.erase(summaryLines_.begin() + index);
        summaryObservers_.erase(summaryObservers_.begin() + index);
        summaryTimer_.start();
    }
}

void MQWaveFormView::refreshSummary() {
    const double duration = movieDuration();
    std::vector<std::pair<double, double>> blocks;
    if (duration > 0) {
        for (const auto& line : summaryLines_) {
            if (line->isValid()) {
                blocks.emplace_back(line->startTime() / duration, line->endTime() / duration);
            }
        }
    }
    overView_->setBlocks(std::move(blocks));
}

void MQWaveFormView::summaryDidJump(double fraction, bool pressed) {
    if (!pressed) {
        if (player_) {
            player_->setShouldSyncWaveForm(false);
        }
        return;
    }
    if (layer_) {
        layer_->setIsScroll(false);
    }
    if (player_) {
        player_->setShouldSyncWaveForm(true);
    }
    post(WaveFormNotification::kMoviePlayerGotoPercentage, fraction);
}

// ---- edge limits and sliding

double MQWaveFormView::getMinTimeValue(MQWaveFormTextView* view) const {
    const double guard = kGuardFrames / MQTimeUtility::sharedInstance().getFPS();
    const SubtitleLinePtr previous =
        delegate_ ? delegate_->previousSubtitleLineForLine(view->subtitleLine()) : nullptr;
    if (previous && previous->isStartTimeValid()) {
        return std::max(0.0, previous->startTime() + guard);
    }
    return 0;
}

double MQWaveFormView::getMaxTimeValue(MQWaveFormTextView* view) const {
    const double guard = kGuardFrames / MQTimeUtility::sharedInstance().getFPS();
    const SubtitleLinePtr next =
        delegate_ ? delegate_->nextSubtitleLineForLine(view->subtitleLine()) : nullptr;
    if (next && next->isStartTimeValid()) {
        return next->endTime() - guard;
    }
    return movieDuration();
}

void MQWaveFormView::slideNeighbour(MQWaveFormTextView* neighbour, bool leftEdge, bool touching,
                                    const QPointF& point) {
    if (touching) {
        if (!neighbour->isDragging()) {
            neighbour->beginEdgeDrag(point, leftEdge, true);
        } else {
            neighbour->dragTo(point);
        }
    } else if (neighbour->isDragging() && neighbour->isDraggingFromSlide()) {
        neighbour->release();
    }
}

void MQWaveFormView::keepLoopingAtDragSpeed(const SubtitleLinePtr& line) {
    if (!player_ || !player_->hasMovie()) {
        return;
    }
    if (player_->repeatSubtitle() == line && player_->currentPlayRate() == dragPlayRate_ &&
        player_->isPlaying()) {
        return;
    }
    player_->playRepeatSubtitle(line, dragPlayRate_);
}

// Edges that touch move together: the neighbour's touching edge follows the dragged one.
void MQWaveFormView::mouseDidBeginDragLeftRect(MQWaveFormTextView* view, const QPointF& point) {
    auto found = std::find(textLayers_.begin(), textLayers_.end(), view);
    if (found != textLayers_.end() && found != textLayers_.begin()) {
        MQWaveFormTextView* before = *(found - 1);
        slideNeighbour(before, false, view->geometry().left() <= before->geometry().right() + 1,
                       point);
    }
    keepLoopingAtDragSpeed(view->subtitleLine());
}

void MQWaveFormView::mouseDidBeginDragRightRect(MQWaveFormTextView* view, const QPointF& point) {
    auto found = std::find(textLayers_.begin(), textLayers_.end(), view);
    if (found != textLayers_.end() && found + 1 != textLayers_.end()) {
        MQWaveFormTextView* after = *(found + 1);
        slideNeighbour(after, true, view->geometry().right() + 1 >= after->geometry().left(),
                       point);
    }
    keepLoopingAtDragSpeed(view->subtitleLine());
}

void MQWaveFormView::mouseDidEndDragRect(MQWaveFormTextView* view) {
    for (MQWaveFormTextView* other : textLayers_) {
        if (other != view && other->isDraggingFromSlide()) {
            other->release();
        }
    }
    if (player_ && player_->hasMovie()) {
        player_->playRepeatSubtitle(view->subtitleLine());
    }
}

// ---- selection, buttons, in-place editing

void MQWaveFormView::didSelectMQWaveFormTextView(MQWaveFormTextView* view) {
    if (selectedView_ && selectedView_ != view) {
        selectedView_->setHighlighted(false);
        if (editingView_ == selectedView_) {
            hideEditTextView();
        }
    }
    selectedView_ = view;
    view->setHighlighted(true);
}

void MQWaveFormView::showPlayButton(MQWaveFormTextView* view) {
    buttonsView_ = view;
    const bool looping =
        player_ && player_->repeatSubtitle() == view->subtitleLine() && player_->isPlaying();
    playButton_->setIcon(
        style()->standardIcon(looping ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    const QRect frame = view->geometry();
    playButton_->setGeometry(frame.center().x() - 12, frame.center().y() - 12, 24, 24);
    deleteButton_->setGeometry(frame.right() - 30, frame.top() + 30 - 24, 24, 24);
    playButton_->show();
    deleteButton_->show();
    playButton_->raise();
    deleteButton_->raise();
}

void MQWaveFormView::hidePlayButton(MQWaveFormTextView* view) {
    if (buttonsView_ != view) {
        return;
    }
    // Moving onto the buttons themselves does not leave the block.
    if (playButton_->underMouse() || deleteButton_->underMouse()) {
        return;
    }
    buttonsView_ = nullptr;
    playButton_->hide();
    deleteButton_->hide();
}

void MQWaveFormView::didPressRepeatPlayShortCut() {
    MQWaveFormTextView* view = buttonsView_ ? buttonsView_ : highlightView_;
    if (!view || !player_) {
        return;
    }
    if (player_->repeatSubtitle() == view->subtitleLine() && player_->isPlaying()) {
        player_->stopRepeatPlaySubtitle();
    } else {
        player_->playRepeatSubtitle(view->subtitleLine());
    }
    if (buttonsView_) {
        showPlayButton(buttonsView_);
    }
}

void MQWaveFormView::didPressTabKey() {
    if (!player_) {
        return;
    }
    if (player_->isPlaying()) {
        player_->pause();
    } else {
        player_->play();
    }
}

void MQWaveFormView::showEditTextView(MQWaveFormTextView* view) {
    editingView_ = view;
    QString text = view->subtitleLine()->text();
    text.replace(QChar(0x23CE), QChar(u'\n'));
    editor_->blockSignals(true);
    editor_->setPlainText(text);
    editor_->blockSignals(false);
    editor_->setGeometry(view->geometry());
    editor_->show();
    editor_->raise();
    editor_->setFocus();
    if (player_ && player_->hasMovie()) {
        player_->playRepeatSubtitle(view->subtitleLine());
    }
}

void MQWaveFormView::hideEditTextView() {
    editingView_ = nullptr;
    editTimer_.stop();
    editor_->hide();
}

// ---- mouse on the empty waveform

void MQWaveFormView::mousePressEvent(QMouseEvent* event) {
    mouseDown_ = true;
    isDragToCreate_ = false;
    mouseDownX_ = event->position().x();
    creationLimit_ = nullptr;
    if (layer_) {
        layer_->setIsScroll(false);
    }
    isStartInTextView_ = std::any_of(textLayers_.begin(), textLayers_.end(), [&](auto* view) {
        return mouseDownX_ >= view->x() && mouseDownX_ <= view->x() + view->width();
    });
}

void MQWaveFormView::mouseMoveEvent(QMouseEvent* event) {
    if (!mouseDown_ || isStartInTextView_) {
        return;
    }
    const double x = event->position().x();
    double d = std::max(0.0, x - mouseDownX_);
    if (!creationLimit_) {
        for (MQWaveFormTextView* view : textLayers_) {
            if (view != creationView_ && x >= view->x() && x <= view->x() + view->width()) {
                creationLimit_ = view;
                d = view->x() - mouseDownX_;
                break;
            }
        }
    } else if (x >= creationLimit_->x()) {
        d = creationLimit_->x() - mouseDownX_;
    }
    const bool aboveSummary = event->position().y() < height() - OverDifferenceSummaryView::kHeight;
    if (!isDragToCreate_ && d > 10 && aboveSummary) {
        isDragToCreate_ = true;
        const double pps = pixelsPerSecond();
        createdLine_ = SubtitleLine::create();
        createdLine_->setText(QString());
        createdLine_->setStartTime((mouseDownX_ + xOffset()) / pps);
        createdLine_->setEndTime((mouseDownX_ + xOffset() + d) / pps);
        creationView_ = new MQWaveFormTextView(this, this);
        creationView_->setSubtitleLine(createdLine_);
        creationView_->isDraggingToCreate = true;
        creationView_->setGeometry(QRectF(mouseDownX_, (height() - MQWaveFormTextView::kHeight) / 2,
                                          d, MQWaveFormTextView::kHeight)
                                       .toRect());
        creationView_->show();
        if (player_ && player_->hasMovie()) {
            player_->playRepeatSubtitle(createdLine_, dragPlayRate_);
        }
    } else if (isDragToCreate_ && creationView_) {
        createdLine_->setEndTime((mouseDownX_ + xOffset() + d) / pixelsPerSecond());
        QRect frame = creationView_->geometry();
        frame.setWidth(static_cast<int>(d));
        creationView_->setGeometry(frame);
    }
}

void MQWaveFormView::mouseReleaseEvent(QMouseEvent* event) {
    if (!isDragToCreate_) {
        if (editingView_) {
            hideEditTextView();
        } else if (event->button() == Qt::LeftButton && hasWaveformData() && player_) {
            player_->stopRepeatPlaySubtitle();
            player_->setCurrentTime((event->position().x() + xOffset()) / pixelsPerSecond());
        }
    } else if (creationView_) {
        if (creationView_->width() > 10) {
            needPlayAfterCreate_ = true;
            post(WaveFormNotification::kAddSubtitleLineToTextView, lineObject(createdLine_));
        }
        creationView_->hide();
        creationView_->deleteLater();
        creationView_ = nullptr;
    }
    isDragToCreate_ = false;
    mouseDown_ = false;
}

void MQWaveFormView::mouseDoubleClickEvent(QMouseEvent*) {
    if (player_ && !editingView_) {
        player_->play();
    }
}

void MQWaveFormView::wheelEvent(QWheelEvent* event) {
    if (mouseDown_ || !layer_) {
        return;
    }
    hideEditTextView();
    const QPoint delta =
        event->pixelDelta().isNull() ? event->angleDelta() / 4 : event->pixelDelta();
    const double amount = delta.x() != 0 ? delta.x() : delta.y();
    const double limit = std::max(0.0, getTotalWidth() - width());
    const double origin = std::min(std::max(0.0, xOffset() - amount), limit);
    layer_->setIsScroll(true);
    layer_->setNewOriginX(origin);
    update();
    if (event->phase() == Qt::ScrollEnd || event->phase() == Qt::ScrollMomentum ||
        event->phase() == Qt::NoScrollPhase) {
        scrollEndTimer_.start();
    }
}
