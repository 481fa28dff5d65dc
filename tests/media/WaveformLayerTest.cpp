#include "media/views/WaveformLayer.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

class FakePlayer : public WaveformPlayerSource {
public:
    double time = 0;
    bool playing = false;
    bool forward = true;
    bool sync = false;
    double currentTimeSeconds() const override { return time; }
    bool hasCurrentItem() const override { return true; }
    bool isPlaying() const override { return playing; }
    bool isPlayingForward() const override { return forward; }
    bool shouldSyncWaveForm() const override { return sync; }
};

std::shared_ptr<WaveformAudioDataStore> storeWith(uint32_t channels, double seconds,
                                                  const std::vector<std::vector<uint8_t>>& data) {
    AudioStreamDescription source{48000, channels, 32};
    AudioStreamDescription target = source;
    target.sampleRate = WaveformAudioDataStore::kEnvelopeRate;
    auto store = std::make_shared<WaveformAudioDataStore>(source, target, seconds);
    for (uint32_t c = 0; c < data.size(); ++c) {
        std::vector<uint8_t> values(store->mTotalLength(), 0);
        std::copy(data[c].begin(), data[c].end(), values.begin());
        store->setChannelData(c, values);
    }
    return store;
}

// Height in pixels of the line drawn in a column, in the given colour.
int lineHeight(const QImage& image, int column, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        count += image.pixelColor(column, y) == colour;
    }
    return count;
}

QImage render(WaveformLayer& layer, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    layer.setBoundsSize(width, height);
    QPainter painter(&image);
    layer.draw(painter);
    return image;
}

TEST(WaveformLayer, ColumnsShowTheFirstValueTheyStandFor) {
    FakePlayer player;
    WaveformLayer layer;
    layer.setPlayer(&player);
    std::vector<uint8_t> values(20, 0);
    values[2] = 40;
    values[3] = 90;
    values[6] = 20;
    values[7] = 90;
    layer.addDataStore(storeWith(1, 1, {values}));
    layer.setZoomRate(0.5, false); // 150 columns per second, two values per column
    layer.setDisplayStyle(1);
    const QImage image = render(layer, 40, 200);
    EXPECT_NEAR(lineHeight(image, 1, WaveformLayer::kUnplayedColor), 40, 1);
    EXPECT_NEAR(lineHeight(image, 3, WaveformLayer::kUnplayedColor), 20, 1);
    EXPECT_EQ(lineHeight(image, 0, WaveformLayer::kPointerColor), 200); // pointer at 0 s
    EXPECT_EQ(lineHeight(image, 10, WaveformLayer::kUnplayedColor), 0);
}

TEST(WaveformLayer, DisplayStylesPickChannels) {
    FakePlayer player;
    struct Case {
        uint32_t channels;
        int style;
        int expected;
    };
    const std::vector<Case> cases = {
        {2, 0, 60}, {2, 1, 80}, {2, 2, 40}, {1, 2, 0}, {1, 1, 80},
    };
    for (const Case& c : cases) {
        WaveformLayer layer;
        layer.setPlayer(&player);
        std::vector<std::vector<uint8_t>> data = {std::vector<uint8_t>(10, 80)};
        if (c.channels == 2) {
            data.push_back(std::vector<uint8_t>(10, 40));
        }
        layer.addDataStore(storeWith(c.channels, 1, data));
        layer.setZoomRate(1.0, false);
        layer.setDisplayStyle(c.style);
        const QImage image = render(layer, 20, 200);
        EXPECT_NEAR(lineHeight(image, 5, WaveformLayer::kUnplayedColor), c.expected, 1)
            << c.channels << " channels, style " << c.style;
    }
}

TEST(WaveformLayer, PlayedColumnsAreGrey) {
    FakePlayer player;
    player.time = 5.0 / 300; // pointer at column 5
    WaveformLayer layer;
    layer.setPlayer(&player);
    layer.addDataStore(storeWith(1, 1, {std::vector<uint8_t>(300, 50)}));
    layer.setZoomRate(1.0, false);
    layer.setDisplayStyle(1);
    const QImage image = render(layer, 20, 200);
    EXPECT_NEAR(lineHeight(image, 3, WaveformLayer::kPlayedColor), 50, 1);
    EXPECT_EQ(lineHeight(image, 5, WaveformLayer::kPointerColor), 200);
    EXPECT_NEAR(lineHeight(image, 8, WaveformLayer::kUnplayedColor), 50, 1);
}

TEST(WaveformLayer, FollowsThePointer) {
    FakePlayer player;
    WaveformLayer layer;
    layer.setPlayer(&player);
    layer.addDataStore(storeWith(1, 12, {})); // 3600 columns at zoom 1
    layer.setZoomRate(1.0, false);
    layer.setBoundsSize(1000, 100);
    struct Case {
        double origin;
        double time;
        bool forward;
        bool middle;
        double expected;
    };
    const std::vector<Case> cases = {
        {0, 0, true, false, 0},       // start: window at 0, pointer at the left edge
        {300, 0.5, true, false, 0},   // near the start, the window goes back to 0
        {0, 3.4, true, false, 820},   // ran off the right edge: one fifth from the left
        {500, 3.4, true, false, 500}, // still visible: kept
        {2000, 5, false, false, 700}, // backwards off the left edge: four fifths
        {0, 11.5, true, false, 2600}, // near the end: the last window
        {0, 6, true, true, 1300},     // centred on request
    };
    for (const Case& c : cases) {
        layer.setMCurrentDrawRect(QRectF(c.origin, 0, 1000, 100));
        player.forward = c.forward;
        layer.setCurrentTime(c.time, c.middle);
        EXPECT_DOUBLE_EQ(layer.mCurrentDrawRect().x(), c.expected)
            << "origin " << c.origin << " time " << c.time;
    }
}

TEST(WaveformLayer, VerticalZoomLimits) {
    WaveformLayer layer;
    for (int i = 0; i < 20; ++i) {
        layer.increaseWaveFormYAxisZoomRate();
    }
    EXPECT_DOUBLE_EQ(layer.yAxisZoomRate(), 5.0);
    layer.setYAxisZoomRate(1.0);
    for (int i = 0; i < 3; ++i) {
        layer.decreaseWaveFormYAxisZoomRate();
    }
    EXPECT_NEAR(layer.yAxisZoomRate(), 0.1, 1e-12);
    layer.decreaseWaveFormYAxisZoomRate();
    EXPECT_NEAR(layer.yAxisZoomRate(), 0.1, 1e-12);
}

} // namespace
