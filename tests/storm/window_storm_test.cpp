// SPDX-License-Identifier: MIT
// A storm of random gestures on the real window (offscreen platform): mouse drags of the
// substrate from and to random points, clicks and double-clicks at random points delivered to the
// widget under the point as the platform would, clicks on Reset, and keys to the focused widget.
// After every gesture: the reaction is in one of its three states, the widgets show exactly what
// the model says, nothing is held, no drag outlives its gesture but a keyboard grab, and the
// state is the one a reference machine written here predicts.

#include "storm_seed.h"
#include "ui_test_support.h"

#include "runtime/error_handling.h"
#include "runtime/temporaries.h"

#include <QKeySequence>
#include <QTest>

#include <cstdlib>
#include <random>

using namespace velmora;
using namespace velmora::testing;

namespace {

enum class State { Apart, Bound, Released };

Flags flagsFor(State s) { return s == State::Apart ? kApart : s == State::Bound ? kBound : kReleased; }

// The stored layout in window pixels, topmost first.
struct Place {
    const char* name;
    QRect rect;
};
const Place kLayout[] = {
    {"Command1", QRect(512, 72, 81, 33)},    {"Picture4", QRect(216, 272, 257, 233)},
    {"Picture3", QRect(184, 48, 241, 217)},  {"Picture2", QRect(192, 64, 209, 201)},
    {"Picture1", QRect(200, 272, 273, 233)}, {"Label1", QRect(192, 0, 281, 33)},
};

bool shownIn(State s, const char* name) {
    const QByteArray n(name);
    if (!n.startsWith("Picture")) return true;
    return flagsFor(s)[static_cast<std::size_t>(n.back() - '1')];
}

// The control a learner sees under `p`, or an empty name for the form.
QByteArray under(State s, QPoint p) {
    for (const Place& place : kLayout)
        if (shownIn(s, place.name) && place.rect.contains(p)) return place.name;
    return {};
}

// What a press and release of the main button at `p` does to the lesson.
State afterClick(State s, QPoint p) {
    const QByteArray target = under(s, p);
    if (target == "Command1") return State::Apart;
    if (target == "Picture4") return State::Released;
    return s; // a press on the substrate is a drag dropped on itself
}

State afterDrop(State s, QPoint drop) { return under(s, drop) == "Picture1" ? State::Bound : s; }

const char* stateName(State s) { return s == State::Apart ? "apart" : s == State::Bound ? "bound" : "released"; }

} // namespace

class WindowStorm : public QObject {
    Q_OBJECT

private slots:
    void randomGesturesKeepWindowAndModelInStep() {
        constexpr int kEvents = 3000;
        const std::uint64_t seed = stormSeed("window");
        std::mt19937_64 random(seed);
        const auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
        const auto chance = [&](double p) { return std::bernoulli_distribution(p)(random); };

        auto window = shownWindow();
        FormWindow& w = *window;
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_VERIFY(QApplication::focusWidget() != nullptr);

        QStringList reports;
        w.setErrorReport([&](const RunTimeError& e) { reports << QString::fromUtf8(e.what()); });

        State expected = State::Apart;
        QPoint aim; // where a keyboard drag is being steered
        QMap<QByteArray, int> tally;
        for (int i = 0; i < kEvents; ++i) {
            const bool grabbedBefore = w.keyboardDragInProgress();
            const State stateBefore = expected;
            QByteArray what;
            // A learner who picked the substrate up with the keyboard mostly goes on with keys.
            const int roll = grabbedBefore && chance(0.9) ? 99 : between(0, 99);
            if (roll < 20 && w.controlWidget("Picture2")->isVisible()) {
                // A mouse drag of the substrate, often aimed at the enzyme.
                const QPoint grab(between(0, 208), between(0, 200));
                const QPoint drop = chance(0.4) ? QPoint(between(200, 472), between(272, 504))
                                                : QPoint(between(-80, 740), between(-80, 590));
                what = "drag from " + QByteArray::number(grab.x()) + "," + QByteArray::number(grab.y()) + " to " +
                       QByteArray::number(drop.x()) + "," + QByteArray::number(drop.y());
                dragSubstrate(w, grab, drop);
                expected = afterDrop(expected, drop);
                ++tally["mouse drag"];
            } else if (roll < 48) {
                // A click, or a double-click, where the learner points.
                const QPoint p = chance(0.5) ? QPoint(between(0, w.width() - 1), between(0, w.height() - 1)) : [&] {
                    const QRect r = kLayout[between(0, 5)].rect;
                    return QPoint(between(r.left(), r.right()), between(r.top(), r.bottom()));
                }();
                const bool twice = chance(0.3);
                what = QByteArray(twice ? "double-click" : "click") + " at " + QByteArray::number(p.x()) + "," +
                       QByteArray::number(p.y());
                QWidget* target = w.childAt(p) ? w.childAt(p) : &w;
                sendMouse(target, QEvent::MouseButtonPress, target->mapFrom(&w, p), Qt::LeftButton);
                sendMouse(target, QEvent::MouseButtonRelease, target->mapFrom(&w, p), Qt::NoButton);
                expected = afterClick(expected, p);
                if (twice) {
                    // The second press comes as a double-click, to whatever is under the point now.
                    target = w.childAt(p) ? w.childAt(p) : &w;
                    sendMouse(target, QEvent::MouseButtonDblClick, target->mapFrom(&w, p), Qt::LeftButton);
                    sendMouse(target, QEvent::MouseButtonRelease, target->mapFrom(&w, p), Qt::NoButton);
                    if (under(expected, p) == "Command1") expected = State::Apart;
                }
                ++tally[twice ? "double-click" : "click"];
            } else if (roll < 55) {
                what = "click on Reset";
                clickControl(w, "Command1");
                expected = State::Apart;
                ++tally["reset"];
            } else {
                QWidget* focus = QApplication::focusWidget();
                QWidget* target = focus ? focus : &w;
                const QByteArray focusName = target->objectName().toUtf8();
                static const Qt::Key kActivate[] = {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter};
                static const Qt::Key kOther[] = {Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Left,
                                                 Qt::Key_Right,  Qt::Key_Up,  Qt::Key_Down};
                Qt::Key key;
                Qt::KeyboardModifiers modifiers = Qt::NoModifier;
                if (grabbedBefore && chance(0.95)) {
                    // Steer the grabbed outline towards the aim, then drop it there.
                    const QPoint centre = w.dragOutline()->ring().center();
                    const QPoint d = aim - centre;
                    if (std::abs(d.x()) < 10 && std::abs(d.y()) < 10)
                        key = kActivate[between(0, 2)];
                    else if (std::abs(d.x()) > std::abs(d.y()))
                        key = d.x() > 0 ? Qt::Key_Right : Qt::Key_Left;
                    else
                        key = d.y() > 0 ? Qt::Key_Down : Qt::Key_Up;
                } else {
                    key = chance(0.4) ? kActivate[between(0, 2)] : kOther[between(0, 6)];
                }
                if (chance(0.1)) modifiers = Qt::ShiftModifier;
                const bool activates = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
                const QPoint dropPoint = grabbedBefore ? w.dragOutline()->ring().center() : QPoint();
                what = "key " + QKeySequence(key | modifiers).toString().toUtf8() + " to '" + focusName + "'";
                QTest::keyClick(target, key, modifiers);
                if (activates && focusName == "Command1") expected = State::Apart;
                if (activates && focusName == "Picture4") expected = State::Released;
                if (activates && focusName == "Picture2" && grabbedBefore) {
                    expected = afterDrop(expected, dropPoint);
                    if (expected == State::Bound) ++tally["bound by keyboard"];
                }
                if (activates && focusName == "Picture2" && !grabbedBefore && w.keyboardDragInProgress())
                    aim = chance(0.6) ? QPoint(between(210, 460), between(280, 495))
                                      : QPoint(between(0, w.width() - 1), between(0, w.height() - 1));
                if (key == Qt::Key_Escape && grabbedBefore)
                    QVERIFY2(!w.dragInProgress(), "Escape puts a keyboard grab down");
                ++tally[activates && focusName == "Picture2" && grabbedBefore ? "keyboard drop" : "key"];
            }

            const QByteArray context = "seed " + QByteArray::number(seed) + ", event " + QByteArray::number(i) + " (" +
                                       what + "), expected " + stateName(expected);
            const Flags now = modelFlags(w);
            QVERIFY2(now == kApart || now == kBound || now == kReleased, context);
            QVERIFY2(!(now[1] && now[2]) && !(now[0] && now[3]), context);
            QVERIFY2(now == flagsFor(expected), context);
            for (const Control& c : w.model().controls())
                QVERIFY2(w.controlWidget(c.name())->isVisible() == c.visible(), context + " " + c.name().c_str());
            QVERIFY2(!w.dragInProgress() || w.keyboardDragInProgress(), context + ": a drag outlived its gesture");
            QVERIFY2(w.dragInProgress() == w.dragOutline()->isVisible(), context + ": outline without a drag");
            if (w.keyboardDragInProgress())
                QVERIFY2(w.controlWidget("Picture2")->isVisible() &&
                             QApplication::focusWidget() == w.controlWidget("Picture2"),
                         context + ": a keyboard grab of a substrate that is gone or not focused");
            QVERIFY2(w.model().liveReferences() == 0 && Temporaries::live() == 0, context);
            QVERIFY2(reports.isEmpty(), context + ": " + reports.value(0).toUtf8());
            if (stateBefore != expected) ++tally[QByteArray(stateName(stateBefore)) + " -> " + stateName(expected)];
        }
        for (auto it = tally.cbegin(); it != tally.cend(); ++it) qInfo("  %-28s %d", it.key().constData(), it.value());
        QVERIFY2(tally.value("mouse drag") > 200 && tally.value("click") > 200 && tally.value("key") > 500 &&
                     tally.value("keyboard drop") > 0,
                 "the storm made every kind of gesture");
        QVERIFY2(tally.value("apart -> bound") > 20 && tally.value("bound -> released") > 20 &&
                     tally.value("bound -> apart") + tally.value("released -> apart") > 20 &&
                     tally.value("bound by keyboard") > 0,
                 "the storm walked the whole cycle");
    }

    // Destroying a focused window sends its picture areas focus events after the window's own
    // members are gone; none of that may reach the window, even in the middle of a keyboard grab.
    void destroyingTheWindowDuringAKeyboardGrabIsSafe() {
        auto w = shownWindow();
        QApplication::setActiveWindow(w.get());
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QWidget* substrate = w->controlWidget("Picture2");
        substrate->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), substrate);
        QTest::keyClick(substrate, Qt::Key_Space);
        QVERIFY(w->keyboardDragInProgress());
        w.reset();
        QCOMPARE(QApplication::focusWidget(), nullptr);
    }
};

QTEST_MAIN(WindowStorm)
#include "window_storm_test.moc"
