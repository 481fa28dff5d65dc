#pragma once

#include "media/WaveformAudioDataStore.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QRectF>

#include <memory>
#include <vector>

class QPainter;

// What the strip needs of the player: the play position and how it moves.
class WaveformPlayerSource {
public:
    virtual ~WaveformPlayerSource() = default;
    virtual double currentTimeSeconds() const = 0;
    virtual bool hasCurrentItem() const = 0;
    virtual bool isPlaying() const = 0;
    virtual bool isPlayingForward() const = 0;
    virtual bool shouldSyncWaveForm() const = 0;
};

// The timeline editor lying on the strip follows its origin and pointer.
class WaveformLayerDelegate {
public:
    virtual ~WaveformLayerDelegate() = default;
    virtual void setNewOriginX(double x) = 0;
    virtual void waveFormLayerDidDrawPointer(double x) = 0;
    virtual void waveFormLayerDidChangeZoomRate() = 0;
};

// The envelopes of all tracks drawn as one vertical line per screen column, with the play
// pointer, scrolling itself so that the pointer stays visible.
class WaveformLayer : public QObject {
    Q_OBJECT
public:
    static inline const QColor kBackgroundColor{255, 255, 255};
    static inline const QColor kPlayedColor{145, 145, 145};
    static inline const QColor kUnplayedColor{32, 104, 212};
    static inline const QColor kPointerColor{255, 0, 0};

    explicit WaveformLayer(QObject* parent = nullptr);

    void addDataStore(std::shared_ptr<WaveformAudioDataStore> store);
    void removeDataStore() {}
    const std::vector<std::shared_ptr<WaveformAudioDataStore>>& getDataStoreArray() const {
        return stores_;
    }

    void setDisplayStyle(int style);
    int displayStyle() const { return displayStyle_; }
    // The zoom is remembered in the settings unless `remember` is false (a one-off drawing).
    void setZoomRate(double rate, bool remember = true);
    double zoomRate() const { return zoomRate_; }
    void setYAxisZoomRate(double rate);
    double yAxisZoomRate() const { return yAxisZoomRate_; }
    void increaseWaveFormYAxisZoomRate();
    void decreaseWaveFormYAxisZoomRate();
    void setIsScroll(bool scrolled) { isScroll_ = scrolled; }
    bool isScroll() const { return isScroll_; }
    void setPlayer(WaveformPlayerSource* player) { player_ = player; }
    WaveformPlayerSource* player() const { return player_; }
    void setDelegate(WaveformLayerDelegate* delegate) { delegate_ = delegate; }
    QRectF mCurrentDrawRect() const { return drawRect_; }
    void setMCurrentDrawRect(const QRectF& rect) { drawRect_ = rect; }
    // The view's size becomes the draw size.
    void setBoundsSize(double width, double height);
    double mPointerTime() const { return pointerTime_; }
    void resetPointer() { needToResetPointer_ = true; }

    double getSampleRate() const;
    double getTotalLength() const;
    void setCurrentTime(double seconds, bool showPointerInMiddle);
    void setNewOriginX(double x);

    // One frame: follows the play position, then draws the visible columns.
    void draw(QPainter& painter);

Q_SIGNALS:
    void needsDisplay();

private:
    // The columns and the pointer as they stand (no following), into the canvas.
    void drawWaveLines(int channel);
    void fillColumn(int column, int top, int bottom, const QColor& colour);
    void fillRows(int row, int column, int count, const QColor& colour);

    QImage canvas_;
    std::vector<std::shared_ptr<WaveformAudioDataStore>> stores_;
    double zoomRate_ = 0.5;
    double yAxisZoomRate_ = 1.0;
    QRectF drawRect_;
    double pointerTime_ = 0;
    int displayStyle_ = 0;
    bool isScroll_ = false;
    bool needToResetPointer_ = false;
    WaveformPlayerSource* player_ = nullptr;
    WaveformLayerDelegate* delegate_ = nullptr;
};
