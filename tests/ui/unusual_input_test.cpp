// SPDX-License-Identifier: MIT
// Unusual input never acts on the wrong control: a key held while the focus moves, two mouse
// buttons at once, each delivered as the platform delivers them.

#include "ui_test_support.h"

#include <QTest>

using namespace velmora;
using namespace velmora::testing;

Q_DECLARE_METATYPE(velmora::testing::Flags)

namespace {

void sendKey(QEvent::Type type, int key, bool autoRepeat, quint64 timestamp) {
    QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : QString(), autoRepeat);
    event.setTimestamp(timestamp);
    QApplication::sendEvent(QApplication::focusWidget(), &event);
}

// How the rest of a held key reaches the control that took the focus meanwhile.
enum class Rest { MarkedRepeats, UnmarkedPresses, ReleaseAndPressAtOnce };

void restOfHold(int key, Rest rest) {
    for (quint64 t = 2000; t < 2400; t += 100) {
        switch (rest) {
        case Rest::MarkedRepeats:
            sendKey(QEvent::KeyRelease, key, true, t), sendKey(QEvent::KeyPress, key, true, t);
            break;
        case Rest::UnmarkedPresses: sendKey(QEvent::KeyPress, key, false, t); break;
        case Rest::ReleaseAndPressAtOnce:
            sendKey(QEvent::KeyRelease, key, false, t), sendKey(QEvent::KeyPress, key, false, t);
            break;
        }
    }
    sendKey(QEvent::KeyRelease, key, false, 3000);
}

// Mouse events as the platform sends them: every one goes to the widget under the first press
// until all buttons are up. Points are in window coordinates.
class Mouse {
public:
    explicit Mouse(FormWindow& w) : w_(w) {}
    void down(Qt::MouseButton button, QPoint p) {
        if (held_ == Qt::NoButton) grabber_ = w_.childAt(p) ? w_.childAt(p) : &w_;
        held_ |= button;
        send(QEvent::MouseButtonPress, button, p);
    }
    void up(Qt::MouseButton button, QPoint p) {
        held_ &= ~button;
        send(QEvent::MouseButtonRelease, button, p);
    }
    void move(QPoint p) { send(QEvent::MouseMove, Qt::NoButton, p); }

private:
    void send(QEvent::Type type, Qt::MouseButton button, QPoint p) {
        const QPoint local = grabber_->mapFrom(&w_, p);
        QMouseEvent event(type, QPointF(local), QPointF(grabber_->mapToGlobal(local)), button, held_, Qt::NoModifier);
        QApplication::sendEvent(grabber_, &event);
    }
    FormWindow& w_;
    QWidget* grabber_ = nullptr;
    Qt::MouseButtons held_ = Qt::NoButton;
};

const QPoint kSubstrate(300, 150), kEnzyme(330, 400), kReset(552, 88);

} // namespace

class UnusualInputTest : public QObject {
    Q_OBJECT

private slots:
    void keyHeldWhileTheFocusMovesActsOnlyWhereItWasPressed_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("rest");
        for (const auto& [name, key] : {std::pair{"Enter", Qt::Key_Return}, std::pair{"Space", Qt::Key_Space}}) {
            QTest::addRow("%s, marked repeats", name) << int(key) << int(Rest::MarkedRepeats);
            QTest::addRow("%s, unmarked presses", name) << int(key) << int(Rest::UnmarkedPresses);
            QTest::addRow("%s, release and press at once", name) << int(key) << int(Rest::ReleaseAndPressAtOnce);
        }
    }

    void keyHeldWhileTheFocusMovesActsOnlyWhereItWasPressed() {
        QFETCH(int, key);
        QFETCH(int, rest);
        auto w = activeWindow();
        QVERIFY(w);
        QWidget* substrate = w->controlWidget("Picture2");
        substrate->setFocus(Qt::TabFocusReason);

        // Held on the substrate, it picks it up once: the rest of the hold does not drop it.
        sendKey(QEvent::KeyPress, key, false, 1000);
        restOfHold(key, static_cast<Rest>(rest));
        QVERIFY(w->keyboardDragInProgress());
        for (int i = 0; i < 23; ++i) QTest::keyClick(substrate, Qt::Key_Down);

        // The drop moves the focus to the complex while the key is down.
        sendKey(QEvent::KeyPress, key, false, 1000);
        QCOMPARE(modelFlags(*w), kBound);
        QCOMPARE(QApplication::focusWidget(), w->controlWidget("Picture4"));
        restOfHold(key, static_cast<Rest>(rest));
        QCOMPARE(modelFlags(*w), kBound);

        // The release moves the focus to Reset while the key is down.
        sendKey(QEvent::KeyPress, key, false, 4000);
        QCOMPARE(modelFlags(*w), kReleased);
        QCOMPARE(QApplication::focusWidget(), w->controlWidget("Command1"));
        restOfHold(key, static_cast<Rest>(rest));
        QCOMPARE(modelFlags(*w), kReleased);

        // A new press on Reset is Reset's.
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key));
        QCOMPARE(modelFlags(*w), kApart);
    }

    void heldArrowKeysGoOnMovingTheOutline() {
        auto w = activeWindow();
        QVERIFY(w);
        QWidget* substrate = w->controlWidget("Picture2");
        substrate->setFocus(Qt::TabFocusReason);
        QTest::keyClick(substrate, Qt::Key_Space);
        const QRect start = w->dragOutline()->ring();
        sendKey(QEvent::KeyPress, Qt::Key_Down, false, 100);
        sendKey(QEvent::KeyPress, Qt::Key_Down, true, 200);
        sendKey(QEvent::KeyPress, Qt::Key_Down, false, 300);
        sendKey(QEvent::KeyRelease, Qt::Key_Down, false, 400);
        QCOMPARE(w->dragOutline()->ring(), start.translated(0, 30));
    }

    void onlyTheMainButtonCountsWhereverTheOthersAre_data() {
        QTest::addColumn<Flags>("start");
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<Flags>("expected");
        // R/L: right/left button down (upper case) or up (lower case) at a place; m: move there.
        QTest::newRow("right held on the substrate, left click on the enzyme")
            << kApart << "R@substrate m@enzyme L@enzyme l@enzyme r@enzyme" << kApart;
        QTest::newRow("right held on the complex, left click on Reset")
            << kBound << "R@enzyme m@reset L@reset l@reset r@reset" << kApart;
        QTest::newRow("right held on Reset, left click on the complex")
            << kBound << "R@reset m@enzyme L@enzyme l@enzyme r@enzyme" << kReleased;
        QTest::newRow("right held on the enzyme, left drag of the substrate onto it")
            << kApart << "R@enzyme m@substrate L@substrate m@enzyme l@enzyme r@enzyme" << kBound;
        QTest::newRow("right click during a left drag")
            << kApart << "L@substrate R@enzyme r@enzyme m@enzyme l@enzyme" << kBound;
        QTest::newRow("left pressed on Reset, released on the complex")
            << kBound << "L@reset m@enzyme l@enzyme" << kBound;
        QTest::newRow("right click on the complex") << kBound << "R@enzyme r@enzyme" << kBound;
    }

    void onlyTheMainButtonCountsWhereverTheOthersAre() {
        QFETCH(Flags, start);
        QFETCH(QString, gesture);
        QFETCH(Flags, expected);
        auto w = shownWindow();
        if (start != kApart) dragSubstrate(*w, QPoint(40, 40), kEnzyme);
        if (start == kReleased) clickControl(*w, "Picture4");
        const QMap<QString, QPoint> places{{"substrate", kSubstrate}, {"enzyme", kEnzyme}, {"reset", kReset}};
        Mouse mouse(*w);
        for (const QString& step : gesture.split(' ')) {
            const QPoint p = places.value(step.mid(2));
            const QChar op = step[0];
            if (op == 'm') mouse.move(p);
            if (op == 'L') mouse.down(Qt::LeftButton, p);
            if (op == 'l') mouse.up(Qt::LeftButton, p);
            if (op == 'R') mouse.down(Qt::RightButton, p);
            if (op == 'r') mouse.up(Qt::RightButton, p);
            // The outline follows the pointer at the offset where the main button grabbed the substrate.
            if (op == 'm' && w->dragInProgress())
                QCOMPARE(w->dragOutline()->ring().topLeft(),
                         p - (gesture.contains("L@substrate") ? kSubstrate - QPoint(192, 64) : QPoint()));
        }
        QCOMPARE(modelFlags(*w), expected);
        QVERIFY(!w->dragInProgress());
    }
};

QTEST_MAIN(UnusualInputTest)
#include "unusual_input_test.moc"
