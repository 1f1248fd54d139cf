// SPDX-License-Identifier: MIT
// Times the program's own voice and sounds in the real window, with the real speech-dispatcher
// client and Qt Multimedia audio output: for each step (a keyboard pick-up, then a put-back with
// Escape, again and again) the time from handing the window the key to the cue's audio output
// having started its stream (QAudioSink::start returned) and to the speak call having been taken
// by speech-dispatcher (spd_say returned). Prints one line per step and the medians and maxima.
//   aids_latency [STEPS]    (default 40; the window is German, the voice's language with it)
// The speech service and the audio server are the environment's (scripts/measure-aids starts
// its own of each).
#include "language/language.h"
#include "ui/form_window.h"
#include "ui/lesson_aids.h"
#include "ui/scene_images.h"

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace velmora;
using Clock = std::chrono::steady_clock;

namespace {

Clock::time_point g_sent, g_played, g_spoken;

class TimedAudio final : public AudioOutput {
public:
    void play(const QByteArray& pcm) override {
        inner_->play(pcm);
        g_played = Clock::now();
    }

private:
    std::unique_ptr<AudioOutput> inner_ = platformAudio();
};

class TimedSpeech final : public SpeechOutput {
public:
    explicit TimedSpeech(std::string_view code) : inner_(platformSpeech(code)) {}
    bool available() override { return inner_->available(); }
    void say(const QString& text) override {
        inner_->say(text);
        g_spoken = Clock::now();
    }
    void stop() override { inner_->stop(); }

private:
    std::unique_ptr<SpeechOutput> inner_;
};

double ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

void summary(const char* what, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::printf("%s: median %.2f ms, max %.2f ms over %zu steps\n", what, values[values.size() / 2], values.back(),
                values.size());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int steps = argc > 1 ? std::atoi(argv[1]) : 40;
    const Language language("de");
    FormWindow window(language, SceneImages::load(language));
    const std::string code(language.code());
    window.aids().setOutputs([code] { return std::make_unique<TimedSpeech>(code); },
                             [] { return std::make_unique<TimedAudio>(); });
    window.aids().setFeedback(Feedback(true, true));
    window.show();
    QApplication::setActiveWindow(&window);
    if (!QTest::qWaitForWindowActive(&window)) return 1;
    QWidget* substrate = window.controlWidget("Picture2");
    substrate->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    std::vector<double> toSound, toVoice;
    for (int i = 0; i < steps; ++i) {
        const Qt::Key key = i % 2 == 0 ? Qt::Key_Space : Qt::Key_Escape;
        g_played = g_spoken = {};
        g_sent = Clock::now();
        QTest::keyClick(substrate, key);
        if (g_played < g_sent || g_spoken < g_sent) return std::fprintf(stderr, "step %d: no sound or voice\n", i), 1;
        toSound.push_back(ms(g_sent, g_played));
        toVoice.push_back(ms(g_sent, g_spoken));
        std::printf("%s\tsound %.2f ms\tvoice %.2f ms\n", i % 2 == 0 ? "pick-up" : "put-back", toSound.back(),
                    toVoice.back());
        QTest::qWait(400); // a pupil's pace: each sound and sentence has begun before the next
    }
    summary("key to sound started", toSound);
    summary("key to speak call taken", toVoice);
    return 0;
}
