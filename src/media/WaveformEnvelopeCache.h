#pragma once

#include "media/WaveformAudioDataStore.h"

#include <QString>

#include <memory>

// Finished envelopes kept on disk, keyed by the movie's path, size and modification time and
// the track number, so that reopening a movie shows its waveform at once.
namespace WaveformEnvelopeCache {

// The user's cache folder unless overridden (tests point it at a scratch folder).
QString directory();
void setDirectory(const QString& path);

// A complete store from the cache, or nothing.
std::shared_ptr<WaveformAudioDataStore> load(const QString& moviePath, unsigned trackNumber);
bool save(const QString& moviePath, const WaveformAudioDataStore& store);

} // namespace WaveformEnvelopeCache
