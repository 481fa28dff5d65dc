#include "media/WaveformEnvelopeCache.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

constexpr quint32 kMagic = 0x4D515746; // "MQWF"
constexpr quint32 kVersion = 1;

QMutex& directoryMutex() {
    static QMutex mutex;
    return mutex;
}

QString& overriddenDirectory() {
    static QString path;
    return path;
}

QString entryPath(const QString& moviePath, unsigned trackNumber) {
    const QFileInfo info(moviePath);
    if (!info.exists()) {
        return {};
    }
    const QString key = QStringLiteral("%1\n%2\n%3\n%4")
                            .arg(info.absoluteFilePath())
                            .arg(info.size())
                            .arg(info.lastModified().toMSecsSinceEpoch())
                            .arg(trackNumber);
    const QByteArray digest =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex();
    return WaveformEnvelopeCache::directory() + u'/' + QString::fromLatin1(digest) +
           QStringLiteral(".envelope");
}

} // namespace

namespace WaveformEnvelopeCache {

QString directory() {
    QMutexLocker lock(&directoryMutex());
    if (!overriddenDirectory().isEmpty()) {
        return overriddenDirectory();
    }
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
           QStringLiteral("/waveforms");
}

void setDirectory(const QString& path) {
    QMutexLocker lock(&directoryMutex());
    overriddenDirectory() = path;
}

std::shared_ptr<WaveformAudioDataStore> load(const QString& moviePath, unsigned trackNumber) {
    const QString path = entryPath(moviePath, trackNumber);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        return nullptr;
    }
    QDataStream in(&file);
    quint32 magic = 0, version = 0, channels = 0, totalLength = 0;
    double sampleRate = 0, length = 0;
    in >> magic >> version >> sampleRate >> channels >> length >> totalLength;
    if (in.status() != QDataStream::Ok || magic != kMagic || version != kVersion || channels == 0 ||
        channels > 64 || sampleRate <= 0) {
        return nullptr;
    }
    AudioStreamDescription source{sampleRate, channels, 32};
    AudioStreamDescription target = source;
    target.sampleRate = WaveformAudioDataStore::kEnvelopeRate;
    auto store = std::make_shared<WaveformAudioDataStore>(source, target, length);
    if (store->mTotalLength() != totalLength ||
        file.size() - file.pos() != static_cast<qint64>(channels) * totalLength) {
        return nullptr;
    }
    std::vector<uint8_t> values(totalLength);
    for (quint32 c = 0; c < channels; ++c) {
        if (file.read(reinterpret_cast<char*>(values.data()), totalLength) != totalLength) {
            return nullptr;
        }
        store->setChannelData(c, values);
    }
    store->setTrackNumber(trackNumber);
    store->setLoadComplete(true);
    return store;
}

bool save(const QString& moviePath, const WaveformAudioDataStore& store) {
    const QString path = entryPath(moviePath, store.trackNumber());
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath())) {
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    {
        QDataStream out(&file);
        out << kMagic << kVersion << store.mASBD().sampleRate << store.channelCount()
            << store.mLength() << store.mTotalLength();
    }
    for (uint32_t c = 0; c < store.channelCount(); ++c) {
        const std::vector<uint8_t> values = store.channelData(c);
        file.write(reinterpret_cast<const char*>(values.data()),
                   static_cast<qint64>(values.size()));
    }
    return file.commit();
}

} // namespace WaveformEnvelopeCache
