// SPDX-License-Identifier: MIT
#include "ui/lesson_aids.h"

#include "reaction/lesson_texts.h"
#include "ui/qt_conversions.h"
#include "ui/screen_reader_watch.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QWidget>

namespace velmora {

LessonAids::LessonAids(Language language, QWidget* window)
    : QObject(window), language_(std::move(language)), window_(window),
      makeSpeech_([this] { return platformSpeech(language_.code()); }), makeAudio_(platformAudio),
      menu_(new QMenu(window)) {
    menu_->setObjectName(QStringLiteral("Switches"));
    for (Aid aid : kAllAids) {
        QAction* item = menu_->addAction(fromUtf8(aidSwitchText(language_, aid)));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, aid] { toggle(aid); });
        switches_[static_cast<std::size_t>(aid)] = item;
    }
    connect(menu_, &QMenu::aboutToShow, this, &LessonAids::syncChecks);
    connect(new ScreenReaderWatch(this), &ScreenReaderWatch::changed, this, &LessonAids::setScreenReaderRunning);
}

LessonAids::~LessonAids() = default;

void LessonAids::setOutputs(SpeechFactory speech, AudioFactory audio) {
    makeSpeech_ = std::move(speech);
    makeAudio_ = std::move(audio);
    speech_.reset();
    cues_.reset();
}

void LessonAids::setFeedback(Feedback feedback, Note note) {
    feedback_ = feedback;
    feedback_.setScreenReaderRunning(screenReader_);
    note_ = std::move(note);
    // Once the window is up, so that opening the speech service does not hold up its start.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (prepare() || !note_ || noVoiceSaid_) return;
            noVoiceSaid_ = true;
            note_(fromUtf8(noVoiceText(language_)));
        },
        Qt::QueuedConnection);
}

void LessonAids::setScreenReaderRunning(bool running) {
    const bool spoke = feedback_.on(Aid::Voice);
    screenReader_ = running;
    feedback_.setScreenReaderRunning(running);
    if (spoke && !feedback_.on(Aid::Voice) && speech_) speech_->stop();
    prepare();
}

bool LessonAids::prepare() {
    if (feedback_.on(Aid::Sound) && !cues_) cues_ = std::make_unique<CuePlayer>(makeAudio_());
    if (!feedback_.on(Aid::Voice)) return true;
    if (!speech_) speech_ = makeSpeech_();
    return speech_->available();
}

void LessonAids::apply(const LessonStep& step) {
    const bool sound = step.cue && feedback_.on(Aid::Sound);
    const bool voice = !step.voice.empty() && feedback_.on(Aid::Voice);
    if (!sound && !voice) return;
    prepare();
    if (sound) cues_->play(*step.cue);
    if (voice) speech_->say(fromUtf8(step.voice));
}

void LessonAids::toggle(Aid aid) {
    feedback_.toggle(aid);
    if (aid == Aid::Voice && !feedback_.on(Aid::Voice) && speech_) speech_->stop();
    if (prepare() || noVoiceSaid_) return;
    noVoiceSaid_ = true;
    auto* box = new QMessageBox(QMessageBox::Information, window_->windowTitle(), fromUtf8(noVoiceText(language_)),
                                QMessageBox::Ok, window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void LessonAids::syncChecks() {
    for (Aid aid : kAllAids) switches_[static_cast<std::size_t>(aid)]->setChecked(feedback_.on(aid));
}

void LessonAids::showMenu(QPoint globalPos) {
    if (!menu_->isVisible()) menu_->popup(globalPos);
}

} // namespace velmora
