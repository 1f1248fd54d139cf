// SPDX-License-Identifier: MIT
#pragma once

#include "sound/cue.h"

#include <QByteArray>

#include <array>
#include <memory>

namespace velmora {

/*
 * Where the cues' sounds go. play() starts `pcm` (16-bit signed mono samples at the cues' rate)
 * at once and returns without waiting for it, cutting off a sound still playing.
 */
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    virtual void play(const QByteArray& pcm) = 0;
};

// The desktop's default audio output through Qt Multimedia; with no output device it plays
// nothing. Never throws.
std::unique_ptr<AudioOutput> platformAudio();

/*
 * The lesson's cues, each synthesised once when the player is made, handed to an audio output
 * whole so that playing one never waits for anything.
 */
class CuePlayer final {
public:
    explicit CuePlayer(std::unique_ptr<AudioOutput> output);
    void play(Cue cue);

private:
    std::unique_ptr<AudioOutput> output_;
    std::array<QByteArray, std::size(kAllCues)> sounds_;
};

} // namespace velmora
