// SPDX-License-Identifier: MIT
#pragma once

#include "language/language.h"
#include "reaction/feedback.h"
#include "reaction/lesson_session.h"
#include "ui/cue_player.h"
#include "ui/speech_output.h"

#include <QObject>
#include <QPoint>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QWidget;

namespace velmora {

/*
 * The window's own voice and sound cues, and their switches. Each step's voice is spoken and its
 * cue played as the run's Feedback allows; the desktop's screen-reader flag is passed on to it;
 * the two switches are checkable items of a context menu, labelled in the lesson's language. The
 * speech service and the audio output are opened only once their aid is on, never before. Where
 * the voice is on and no voice speaks the lesson's language, that is said once: in a message box
 * to a pupil who switched it on, as a line through the note to a preset. Nothing is stored.
 */
class LessonAids final : public QObject {
    Q_OBJECT
public:
    using SpeechFactory = std::function<std::unique_ptr<SpeechOutput>()>;
    using AudioFactory = std::function<std::unique_ptr<AudioOutput>()>;
    using Note = std::function<void(const QString& line)>;

    // Both aids off; the platform's speech and audio; the menu's parent is `window`.
    LessonAids(Language language, QWidget* window);
    ~LessonAids() override;

    // Where speech and sounds go instead of the platform's (tests record them there).
    void setOutputs(SpeechFactory speech, AudioFactory audio);
    // The run's presets; what they need is opened at once, so that no step waits for it.
    void setFeedback(Feedback feedback, Note note = {});
    const Feedback& feedback() const { return feedback_; }
    void setScreenReaderRunning(bool running);

    // Speaks the step's voice and plays its cue, each where its aid is on.
    void apply(const LessonStep& step);

    // Shows the switches with their top left at `globalPos`.
    void showMenu(QPoint globalPos);
    QMenu* menu() const { return menu_; }

private:
    void toggle(Aid aid);
    // Opens what the aids that are on need; false when the voice is on with no voice to speak.
    bool prepare();
    void syncChecks();

    Language language_;
    QWidget* window_;
    Feedback feedback_;
    SpeechFactory makeSpeech_;
    AudioFactory makeAudio_;
    Note note_;
    std::unique_ptr<SpeechOutput> speech_;
    std::unique_ptr<CuePlayer> cues_;
    QMenu* menu_;
    std::array<QAction*, std::size(kAllAids)> switches_{};
    bool screenReader_ = false;
    bool noVoiceSaid_ = false;
};

} // namespace velmora
