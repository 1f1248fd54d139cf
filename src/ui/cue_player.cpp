// SPDX-License-Identifier: MIT
#include "ui/cue_player.h"

#include "sound/cue_sound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>

namespace velmora {
namespace {

class PlatformAudio final : public AudioOutput {
public:
    PlatformAudio() {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        QAudioFormat format;
        format.setSampleRate(kCueSampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        if (device.isNull() || !device.isFormatSupported(format)) return;
        sink_ = std::make_unique<QAudioSink>(device, format);
    }

    void play(const QByteArray& pcm) override {
        if (!sink_) return;
        sink_->stop();
        buffer_.close();
        buffer_.setData(pcm);
        buffer_.open(QIODevice::ReadOnly);
        sink_->start(&buffer_);
    }

private:
    QBuffer buffer_;
    std::unique_ptr<QAudioSink> sink_;
};

} // namespace

std::unique_ptr<AudioOutput> platformAudio() { return std::make_unique<PlatformAudio>(); }

CuePlayer::CuePlayer(std::unique_ptr<AudioOutput> output) : output_(std::move(output)) {
    for (Cue cue : kAllCues) {
        const std::vector<std::int16_t> samples = cueSamples(cue);
        sounds_[static_cast<std::size_t>(cue)] =
            QByteArray(reinterpret_cast<const char*>(samples.data()),
                       static_cast<qsizetype>(samples.size() * sizeof(std::int16_t)));
    }
}

void CuePlayer::play(Cue cue) { output_->play(sounds_[static_cast<std::size_t>(cue)]); }

} // namespace velmora
