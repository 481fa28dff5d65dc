// marquee waveform MOVIE [--raw OUT] [--png OUT.png] [--width N] [--height N] [--segments N]
//                       [--no-cache]
#include "app/cli/CommandRegistry.h"
#include "media/MovieAudioExtractor.h"
#include "media/MovieProbe.h"
#include "media/views/WaveformLayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QString kName = QStringLiteral("waveform");

struct Options {
    QString movie;
    QString rawPath;
    QString pngPath;
    int width = 1920;
    int height = 200;
    int segments = 0; // automatic
    bool useCache = true;
};

bool parseSize(const QString& text, int& value) {
    bool ok = false;
    const int parsed = text.toInt(&ok);
    if (!ok || parsed <= 0 || parsed > 100000) {
        return false;
    }
    value = parsed;
    return true;
}

QString parse(const QStringList& args, Options& options) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--raw") || arg == QLatin1String("--png") ||
            arg == QLatin1String("--width") || arg == QLatin1String("--height") ||
            arg == QLatin1String("--segments")) {
            if (!hasValue) {
                return QStringLiteral("%1 needs a value").arg(arg);
            }
            const QString value = args[++i];
            if (arg == QLatin1String("--raw")) {
                options.rawPath = value;
            } else if (arg == QLatin1String("--png")) {
                options.pngPath = value;
            } else {
                int& target = arg == QLatin1String("--width")    ? options.width
                              : arg == QLatin1String("--height") ? options.height
                                                                 : options.segments;
                if (!parseSize(value, target)) {
                    return QStringLiteral("%1 needs a positive number, not %2").arg(arg, value);
                }
            }
        } else if (arg == QLatin1String("--no-cache")) {
            options.useCache = false;
        } else if (arg.startsWith(u'-')) {
            return QStringLiteral("unknown option %1").arg(arg);
        } else if (options.movie.isEmpty()) {
            options.movie = arg;
        } else {
            return QStringLiteral("only one movie, not %1").arg(arg);
        }
    }
    return options.movie.isEmpty() ? QStringLiteral("no movie given") : QString();
}

// The whole strip in `width` columns, both channels averaged.
bool writePng(const Options& options,
              const std::vector<std::shared_ptr<WaveformAudioDataStore>>& stores) {
    QImage image(options.width, options.height, QImage::Format_RGB32);
    WaveformLayer layer;
    for (const auto& store : stores) {
        layer.addDataStore(store);
    }
    const uint32_t length = stores.empty() ? 0 : stores.front()->mTotalLength();
    if (length > 0) {
        layer.setZoomRate(std::min(1.0, static_cast<double>(options.width) / length), false);
    }
    layer.setBoundsSize(options.width, options.height);
    layer.setDisplayStyle(0);
    QPainter painter(&image);
    layer.draw(painter);
    painter.end();
    return image.save(options.pngPath, "PNG");
}

int run(const QStringList& args) {
    Options options;
    if (const QString error = parse(args, options); !error.isEmpty()) {
        return cliFail(kName, error);
    }
    if (!QFile::exists(options.movie)) {
        return cliFail(kName, QStringLiteral("no such file: %1").arg(options.movie));
    }
    QElapsedTimer timer;
    timer.start();
    const MovieInfo movie = probeMovie(options.movie);
    if (!movie.opened) {
        return cliFail(kName, QStringLiteral("cannot read %1").arg(options.movie));
    }
    std::vector<std::unique_ptr<MovieAudioExtractor>> extractors;
    for (unsigned track = 0; track < movie.audioTracks.size(); ++track) {
        auto extractor = std::make_unique<MovieAudioExtractor>();
        extractor->setExtractTrackNumber(track);
        extractor->setUseCache(options.useCache);
        extractor->setSegmentCount(options.segments);
        extractor->DoStartMovieAudioExtraction(options.movie, movie);
        extractors.push_back(std::move(extractor));
    }
    // Sleeps in the event loop until every track has reported its end.
    QEventLoop loop;
    auto allFinished = [&] {
        return std::all_of(extractors.begin(), extractors.end(),
                           [](const auto& extractor) { return extractor->isFinished(); });
    };
    for (const auto& extractor : extractors) {
        QObject::connect(extractor.get(), &MovieAudioExtractor::extractionFinished, &loop, [&] {
            if (allFinished()) {
                loop.quit();
            }
        });
    }
    if (!allFinished()) {
        loop.exec();
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;

    std::printf("tracks: %zu\n", extractors.size());
    std::vector<std::shared_ptr<WaveformAudioDataStore>> stores;
    for (const auto& extractor : extractors) {
        const auto store = extractor->mDataStore();
        stores.push_back(store);
        std::printf("track %u: channels %u, sample rate %.0f Hz, duration %.3f s, envelope %u "
                    "values per channel%s\n",
                    store->trackNumber(), store->channelCount(), store->mASBD().sampleRate,
                    store->mLength(), store->mTotalLength(),
                    extractor->isLoadedFromCache() ? " (cached)" : "");
    }
    std::printf("time: %.3f s\n", seconds);

    if (!options.rawPath.isEmpty()) {
        QFile raw(options.rawPath);
        if (!raw.open(QIODevice::WriteOnly)) {
            return cliFail(kName, QStringLiteral("cannot write %1").arg(options.rawPath));
        }
        for (const auto& store : stores) {
            for (uint32_t c = 0; c < store->channelCount(); ++c) {
                const std::vector<uint8_t> values = store->channelData(c);
                raw.write(reinterpret_cast<const char*>(values.data()),
                          static_cast<qint64>(values.size()));
            }
        }
        if (!raw.flush()) {
            return cliFail(kName, QStringLiteral("cannot write %1").arg(options.rawPath));
        }
    }
    if (!options.pngPath.isEmpty() && !writePng(options, stores)) {
        return cliFail(kName, QStringLiteral("cannot write %1").arg(options.pngPath));
    }
    return kExitOk;
}

const CliCommand command({kName,
                          QStringLiteral("waveform MOVIE [--raw OUT] [--png OUT.png] [--width N] "
                                         "[--height N] [--segments N] [--no-cache]"),
                          QStringLiteral("decode every audio track into waveform envelopes"), run});

} // namespace
