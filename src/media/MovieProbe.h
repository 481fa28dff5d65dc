#pragma once

#include "media/WaveformAudioDataStore.h"

#include <QString>

#include <vector>

struct AudioTrackInfo {
    int streamIndex = -1;
    AudioStreamDescription description;
};

// What the window needs to know of a movie before playing it.
struct MovieInfo {
    bool opened = false;
    double duration = 0; // seconds; 0 when the container gives none
    bool hasVideo = false;
    double frameRate = 0; // of the first video stream; 0 without video
    std::vector<AudioTrackInfo> audioTracks;
};

MovieInfo probeMovie(const QString& path);

// The editor's frame rate for a movie: the NTSC rates as 23.976, 29.97 and 59.94, other rates
// to three decimals, 30 when there is no video.
double editorFrameRateForMovie(const MovieInfo& info);
double editorFrameRate(int numerator, int denominator);
