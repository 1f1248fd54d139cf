// SPDX-License-Identifier: MIT
// The window's own voice and sounds: what it hands the speech service and the audio output (both
// stood in for here, recording what they get) for a lesson's steps under each preset, and the
// gestures that open the switches and those that must not.

#include "ui_test_support.h"

#include "reaction/lesson_texts.h"
#include "sound/cue_sound.h"
#include "ui/lesson_aids.h"

#include <QMenu>
#include <QTest>

#include <functional>
#include <optional>
#include <vector>

using namespace velmora;
using namespace velmora::testing;

namespace {

QStringList g_spoken; // every sentence handed to the speech service
// The cue of every sound handed to the audio output. A std::vector: comparing two empty QLists of
// an enum passes a null pointer to memcmp, which UBSan reports.
std::vector<Cue> g_played;

class RecordedSpeech final : public SpeechOutput {
public:
    bool available() override { return true; }
    void say(const QString& text) override { g_spoken << text; }
    void stop() override {}
};

// Which cue `pcm` is, by its samples; none when it is none of them.
std::optional<Cue> cueOf(const QByteArray& pcm) {
    for (Cue cue : kAllCues) {
        const std::vector<std::int16_t> samples = cueSamples(cue);
        if (pcm == QByteArray(reinterpret_cast<const char*>(samples.data()),
                              static_cast<qsizetype>(samples.size() * sizeof(std::int16_t))))
            return cue;
    }
    return std::nullopt;
}

class RecordedAudio final : public AudioOutput {
public:
    void play(const QByteArray& pcm) override {
        const std::optional<Cue> cue = cueOf(pcm);
        QVERIFY2(cue.has_value(), "a sound that is no cue was played");
        g_played.push_back(*cue);
    }
};

std::unique_ptr<FormWindow> recordedWindow(Feedback feedback) {
    auto w = shownWindow();
    w->aids().setOutputs([] { return std::make_unique<RecordedSpeech>(); },
                         [] { return std::make_unique<RecordedAudio>(); });
    w->aids().setFeedback(feedback);
    g_spoken.clear();
    g_played.clear();
    return w;
}

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Presses (+) and releases (-) of the buttons, in turn, on the middle of `widget`.
void buttons(QWidget* widget, std::initializer_list<std::pair<char, Qt::MouseButton>> changes) {
    const QPoint centre = widget->rect().center();
    Qt::MouseButtons held;
    for (const auto& [change, button] : changes) {
        held.setFlag(button, change == '+');
        QMouseEvent event(change == '+' ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, centre,
                          widget->mapToGlobal(centre), button, held, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
}

} // namespace

class AidsTest : public QObject {
    Q_OBJECT

private slots:
    void eachPresetGivesItsVoiceAndSounds() {
        const QString bound = text(announcementText(Language(), Announcement::Bound));
        const struct {
            const char* what;
            Feedback feedback;
            bool screenReader;
            QStringList spoken;
            std::vector<Cue> played;
        } rows[] = {
            {"by default", Feedback(), false, {}, {}},
            {"with sounds", Feedback(false, true), false, {}, {Cue::PickUp, Cue::OverTarget, Cue::Bound}},
            {"with the voice", Feedback(true, false), false, {bound}, {}},
            {"with the voice under a screen reader", Feedback(true, false), true, {}, {}},
        };
        for (const auto& row : rows) {
            auto w = recordedWindow(row.feedback);
            w->aids().setScreenReaderRunning(row.screenReader);
            dragSubstrate(*w, QPoint(40, 40), QPoint(330, 400));
            QVERIFY2(g_spoken == row.spoken, qPrintable(QString::fromUtf8(row.what) + ": " + g_spoken.join(" | ")));
            QVERIFY2(g_played == row.played, row.what);
        }
    }

    void theSwitchesOpenOnlyForAMenuGesture() {
        const struct {
            const char* what;
            std::function<void(FormWindow&)> gesture;
            bool opens;
        } rows[] = {
            {"a right click",
             [](FormWindow& w) {
                 buttons(w.controlWidget("Picture2"), {{'+', Qt::RightButton}, {'-', Qt::RightButton}});
             },
             true},
            {"the Menu key", [](FormWindow& w) { QTest::keyClick(w.controlWidget("Picture1"), Qt::Key_Menu); }, true},
            {"Shift+F10",
             [](FormWindow& w) { QTest::keyClick(w.controlWidget("Picture1"), Qt::Key_F10, Qt::ShiftModifier); }, true},
            {"a main-button click with the right button held",
             [](FormWindow& w) {
                 buttons(
                     w.controlWidget("Picture2"),
                     {{'+', Qt::RightButton}, {'+', Qt::LeftButton}, {'-', Qt::LeftButton}, {'-', Qt::RightButton}});
             },
             false},
            {"a main-button click", [](FormWindow& w) { clickControl(w, "Picture2"); }, false},
        };
        for (const auto& row : rows) {
            auto w = recordedWindow(Feedback());
            row.gesture(*w);
            QVERIFY2(w->aids().menu()->isVisible() == row.opens, row.what);
            QVERIFY2(!w->dragInProgress() && !w->dragOutline()->isVisible(), row.what);
            QCOMPARE(modelFlags(*w), kApart);
        }
    }

    void theSoundSwitchTurnsTheCuesOn() {
        auto w = recordedWindow(Feedback());
        QTest::keyClick(w->controlWidget("Picture1"), Qt::Key_Menu);
        const QList<QAction*> items = w->aids().menu()->actions();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0]->text(), text(aidSwitchText(Language(), Aid::Voice)));
        QCOMPARE(items[1]->text(), text(aidSwitchText(Language(), Aid::Sound)));
        QVERIFY(!items[1]->isChecked());
        items[1]->trigger();
        w->aids().menu()->close();
        dragSubstrate(*w, QPoint(40, 40), QPoint(600, 400));
        QVERIFY(g_played == (std::vector<Cue>{Cue::PickUp, Cue::PutBack}));
        QVERIFY(g_spoken.isEmpty());
    }
};

QTEST_MAIN(AidsTest)
#include "aids_test.moc"
