#pragma once

#include "media/WaveformAudioDataStore.h"

#include <QString>

#include <atomic>
#include <cstdint>

// Shared between the thread that runs an extraction and whoever may stop it.
struct ExtractionControl {
    std::atomic<bool> stop{false};
    std::atomic<int64_t> decodedFrames{0};
    // Decoders that made the finished envelope: 1 for one pass, also after a side-by-side
    // attempt fell back to it.
    std::atomic<int> decodersUsed{0};
};

enum class ExtractionResult { Complete, Stopped, Failed };

// Decodes the whole audio track `trackNumber` of the movie into the store. With more than one
// segment, that many decoders share the track's chunks (cut at envelope-block boundaries),
// each writing its own blocks, while the calling thread reads the packets; the envelope is
// the same as from one pass, and a track whose time stamps cannot place the chunks is decoded
// in one pass instead. Blocks until done or stopped.
ExtractionResult extractTrackEnvelope(const QString& path, unsigned trackNumber,
                                      WaveformAudioDataStore& store, ExtractionControl& control,
                                      int segmentCount = 1);

// Marks the calling thread as a batch worker, so that the scheduler lets the window's thread
// run first whenever it wakes up; its share of the processor is unchanged.
void useBatchScheduling();

// Tunes the process's allocator for decoding: FFmpeg frees every packet's buffer next to the
// top of the heap, and with fast bins on each such free sweeps them all (a fifth of the
// decoding time). Small blocks are still recycled through the per-thread caches. Call once,
// early in main.
void tuneAllocatorForDecoding();

// Segments worth using for a track of this length on this machine.
int automaticSegmentCount(double durationSeconds);
