#pragma once

#include "media/views/WaveformLayer.h"
#include "model/SubtitleLine.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <vector>

class MQMoviePlayerViewController;
class MQWaveFormView;
class QPlainTextEdit;
class QToolButton;

// What the timeline editor asks of the main window, which forwards to the editor text.
class MQWaveFormViewDelegate {
public:
    virtual ~MQWaveFormViewDelegate() = default;
    // The timed lines that overlap [start, end], in document order.
    virtual SubtitleLineList subtitleForStartTime(double start, double end) = 0;
    virtual SubtitleLinePtr previousSubtitleLineForLine(const SubtitleLinePtr& line) = 0;
    virtual SubtitleLinePtr nextSubtitleLineForLine(const SubtitleLinePtr& line) = 0;
};

namespace WaveFormNotification {
inline const QString kAddSubtitleLineToWaveForm =
    QStringLiteral("kAddSubtitleLineToWaveFormNotification");
inline const QString kDeleteSubtitleLineFromWaveForm =
    QStringLiteral("kDeleteSubtitleLineFromWaveFormNotification");
inline const QString kHasInsertStartTimeCode =
    QStringLiteral("kHasInsertStartTimeCodeNotification");
inline const QString kHasInsertEndTimeCode = QStringLiteral("kHasInsertEndTimeCodeNotification");
inline const QString kAddSubtitleLineToTextView =
    QStringLiteral("kAddSubtitleLineToTextViewNotification");
inline const QString kDeleteSubtitleLineFromTextView =
    QStringLiteral("kDeleteSubtitleLineFromTextViewNotification");
inline const QString kHighlightSubtitleText = QStringLiteral("kHighlightSubtitleTextNotification");
inline const QString kUpdateSubtitleTextViewText =
    QStringLiteral("kUpdateSubtitleTextViewTextNotification");
inline const QString kDidSelectStartTimeCode =
    QStringLiteral("MQWaveFormTextViewDidSelectStartTimeCodeNotification");
inline const QString kDidSelectEndTimeCode =
    QStringLiteral("MQWaveFormTextViewDidSelectEndTimeCodeNotification");
inline const QString kDidChangeStartTimeCode =
    QStringLiteral("MQWaveFormTextViewDidChangeStartTimeCodeNotification");
inline const QString kDidChangeEndTimeCode =
    QStringLiteral("MQWaveFormTextViewDidChangeEndTimeCodeNotification");
inline const QString kSetNextSubtitleText = QStringLiteral("kSetNextSubtitleTextNotification");
inline const QString kMoviePlayerGotoPercentage =
    QStringLiteral("kMoviePlayerGotoPercentageNotification");
} // namespace WaveFormNotification

// One subtitle on the strip: its left and right edges are its start and end.
class MQWaveFormTextView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kEdgeWidth = 10;
    static constexpr int kHeight = 200;

    MQWaveFormTextView(MQWaveFormView* owner, QWidget* parent);
    ~MQWaveFormTextView() override;

    void setSubtitleLine(const SubtitleLinePtr& line);
    const SubtitleLinePtr& subtitleLine() const { return line_; }
    void calculateAndSetFrame();
    void setHighlighted(bool highlighted);
    bool isHighlighted() const { return highlighted_; }

    // Edge dragging, in the editor view's coordinates; a sliding neighbour is driven the same
    // way by the view.
    // A press of the mouse: true when it hit an edge zone (the left one is tested first).
    bool pressAt(const QPointF& point);
    // Starts dragging one edge; `fromSlide` when a neighbour pushes it.
    void beginEdgeDrag(const QPointF& point, bool leftEdge, bool fromSlide);
    void dragTo(const QPointF& point);
    void release();
    bool isDragging() const { return dragging_; }
    bool isDragLeftRect() const { return dragLeft_; }
    bool isDraggingFromSlide() const { return draggingFromSlide_; }
    double changedStartTime() const { return changedStartTime_; }
    double changedEndTime() const { return changedEndTime_; }

    bool isDraggingToCreate = false;
    bool isPerformingEndTimeCode = false;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    MQWaveFormView* owner_;
    SubtitleLinePtr line_;
    SubtitleLine::ObserverId observer_ = 0;
    bool highlighted_ = false;
    bool dragging_ = false;
    bool dragLeft_ = false;
    bool draggingFromSlide_ = false;
    bool clickPending_ = false;
    QPointF pressPoint_;
    QRectF originalFrame_;
    double changedStartTime_ = 0;
    double changedEndTime_ = 0;
    QLabel* timeLabel_ = nullptr;
};

// All subtitles of the movie with the visible window marked; a click jumps there.
class OverDifferenceSummaryView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 30;
    explicit OverDifferenceSummaryView(MQWaveFormView* owner);
    void setWindow(double fromFraction, double widthFraction);
    void setBlocks(std::vector<std::pair<double, double>> fractions);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void jumpTo(double x);
    MQWaveFormView* owner_;
    double windowFrom_ = 0;
    double windowWidth_ = 0;
    bool pressed_ = false;
    std::vector<std::pair<double, double>> blocks_;
};

// The timeline editor over the waveform strip. It draws the strip, keeps one block per timed
// subtitle in the visible window, and talks to the editor only through notifications and its
// delegate.
class MQWaveFormView : public QWidget, public WaveformLayerDelegate {
    Q_OBJECT
public:
    explicit MQWaveFormView(QWidget* parent = nullptr);
    ~MQWaveFormView() override;

    void setWaveFormLayer(WaveformLayer* layer);
    WaveformLayer* waveFormLayer() const { return layer_; }
    void setPlayer(MQMoviePlayerViewController* player) { player_ = player; }
    MQMoviePlayerViewController* player() const { return player_; }
    void setDelegate(MQWaveFormViewDelegate* delegate) { delegate_ = delegate; }
    void setDragPlayRate(int rate) { dragPlayRate_ = rate; }
    int dragPlayRate() const { return dragPlayRate_; }

    // Coordinates.
    double pixelsPerSecond() const;
    double xOffset() const;
    double getCurrentViewStartTime() const;
    double getCurrentViewEndTime() const;
    double getTotalWidth() const;
    double movieDuration() const;

    // WaveformLayerDelegate
    void setNewOriginX(double x) override;
    void waveFormLayerDidDrawPointer(double x) override;
    void waveFormLayerDidChangeZoomRate() override;

    void setSubtitleLines(const SubtitleLineList& lines);
    void removeAllTextViewFromWaveForm();
    void addSubtitleAtIndex(const SubtitleLinePtr& line, int index);
    void deleteSubtitleAtIndex(const SubtitleLinePtr& line, int index);
    void arrangeTextLayerPosition();
    const std::vector<MQWaveFormTextView*>& textLayerArray() const { return textLayers_; }
    bool isDragToCreateTextView() const { return isDragToCreate_; }
    bool isWaveFormEditing() const { return editingView_ != nullptr; }
    void showEditTextView(MQWaveFormTextView* view);
    void hideEditTextView();
    QPlainTextEdit* editSubtitleTextView() const { return editor_; }
    QLabel* nextSubtitleDisplayView() const { return nextLabel_; }
    OverDifferenceSummaryView* overView() const { return overView_; }

    // Block callbacks.
    double getMinTimeValue(MQWaveFormTextView* view) const;
    double getMaxTimeValue(MQWaveFormTextView* view) const;
    void didSelectMQWaveFormTextView(MQWaveFormTextView* view);
    void mouseDidBeginDragLeftRect(MQWaveFormTextView* view, const QPointF& point);
    void mouseDidBeginDragRightRect(MQWaveFormTextView* view, const QPointF& point);
    void mouseDidEndDragRect(MQWaveFormTextView* view);
    void showPlayButton(MQWaveFormTextView* view);
    void hidePlayButton(MQWaveFormTextView* view);
    void didPressRepeatPlayShortCut();
    void didPressTabKey();
    void summaryDidJump(double fraction, bool pressed);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    MQWaveFormTextView* createWaveFormTextView(const SubtitleLinePtr& line);
    void removeTextViewFromWaveForm(MQWaveFormTextView* view);
    void slideNeighbour(MQWaveFormTextView* neighbour, bool leftEdge, bool touching,
                        const QPointF& point);
    void keepLoopingAtDragSpeed(const SubtitleLinePtr& line);
    void refreshSummary();
    bool hasWaveformData() const;

    QPointer<WaveformLayer> layer_;
    MQMoviePlayerViewController* player_ = nullptr;
    MQWaveFormViewDelegate* delegate_ = nullptr;
    std::vector<MQWaveFormTextView*> textLayers_;
    std::vector<MQWaveFormTextView*> reuseTextLayers_;
    SubtitleLineList summaryLines_;
    std::vector<SubtitleLine::ObserverId> summaryObservers_;
    OverDifferenceSummaryView* overView_ = nullptr;
    QLabel* nextLabel_ = nullptr;
    QPlainTextEdit* editor_ = nullptr;
    QTimer editTimer_;
    QTimer summaryTimer_;
    QTimer scrollEndTimer_;
    QToolButton* playButton_ = nullptr;
    QToolButton* deleteButton_ = nullptr;
    MQWaveFormTextView* buttonsView_ = nullptr;
    MQWaveFormTextView* editingView_ = nullptr;
    MQWaveFormTextView* highlightView_ = nullptr;
    MQWaveFormTextView* calculatingEndTimeView_ = nullptr;
    MQWaveFormTextView* selectedView_ = nullptr;

    bool mouseDown_ = false;
    bool isStartInTextView_ = false;
    bool isDragToCreate_ = false;
    double mouseDownX_ = 0;
    double lastOriginX_ = 0;
    MQWaveFormTextView* creationLimit_ = nullptr;
    MQWaveFormTextView* creationView_ = nullptr;
    SubtitleLinePtr createdLine_;
    bool needPlayAfterCreate_ = false;
    int dragPlayRate_ = 1;
    double lastWidth_ = 0;
};
