// SPDX-License-Identifier: MIT
#include "ui_test_support.h"

#include "reaction/focus_mark.h"

#include <QAbstractEventDispatcher>
#include <QTest>

#if defined(VELMORA_XCB)
#include <xcb/xcb.h>
#endif

using namespace velmora;
using namespace velmora::testing;

namespace {

QString focusName() { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); }

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1) {
    for (int i = 0; i < times; ++i) QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

#if defined(VELMORA_XCB)
// Hands the application's native filters a key event as X delivers it.
void deliverFromX(bool press, std::uint8_t keycode, std::uint32_t time) {
    xcb_key_press_event_t event{};
    event.response_type = press ? XCB_KEY_PRESS : XCB_KEY_RELEASE;
    event.detail = keycode;
    event.time = time;
    qintptr result = 0;
    QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", &event, &result);
}

// Qt's copy of a key event made after a screen reader saw the key first: no time of its own.
void sendTimelessCopy(QWidget* to, QEvent::Type type, std::uint8_t keycode) {
    QKeyEvent copy(type, Qt::Key_Return, Qt::NoModifier, keycode, 0, 0, QStringLiteral("\r"));
    QCoreApplication::sendEvent(to, &copy);
}
#endif

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void wholeLessonFromTheKeyboard_data() {
        QTest::addColumn<int>("activationKey");
        QTest::newRow("space") << int(Qt::Key_Space);
        QTest::newRow("enter") << int(Qt::Key_Return);
    }

    void wholeLessonFromTheKeyboard() {
        QFETCH(int, activationKey);
        const auto activate = static_cast<Qt::Key>(activationKey);
        auto w = activeWindow();
        QVERIFY(w);
        QTRY_COMPARE(focusName(), QStringLiteral("Picture1"));
        press(Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("Picture2"));

        // Pick up, move, and cancel: nothing changes.
        press(activate);
        QVERIFY(w->keyboardDragInProgress());
        QCOMPARE(w->dragOutline()->ring(), QRect(192, 64, 209, 201));
        press(Qt::Key_Right, Qt::NoModifier, 2);
        press(Qt::Key_Down, Qt::ShiftModifier, 3);
        QCOMPARE(w->dragOutline()->ring(), QRect(212, 67, 209, 201));
        press(Qt::Key_Escape);
        QVERIFY(!w->dragInProgress());
        QVERIFY(w->dragOutline()->isHidden());
        QCOMPARE(modelFlags(*w), kApart);

        // Pick up again, move onto the enzyme, drop: bound, and the focus is on the complex.
        press(activate);
        press(Qt::Key_Down, Qt::NoModifier, 23);
        press(activate);
        QCOMPARE(modelFlags(*w), kBound);
        QCOMPARE(shownFlags(*w), kBound);
        QCOMPARE(focusName(), QStringLiteral("Picture4"));

        // Activate the complex: products released, focus on Reset.
        press(activate);
        QCOMPARE(modelFlags(*w), kReleased);
        QCOMPARE(focusName(), QStringLiteral("Command1"));

        press(activate);
        QCOMPARE(modelFlags(*w), kApart);
        QCOMPARE(shownFlags(*w), kApart);
    }

    // Under a screen reader X's repeats of a held key reach the window as timeless copies of a
    // release and a press that X sent at one time. Given their X times, they stay a repeat: the
    // Enter that released the products does not go on to press Reset.
    void aHeldEntersTimelessRepeatsUnderAScreenReaderPressNothing() {
#if defined(VELMORA_XCB)
        constexpr std::uint8_t kReturnKeycode = 36;
        auto w = activeWindow();
        QVERIFY(w);
        QTRY_COMPARE(focusName(), QStringLiteral("Picture1"));
        press(Qt::Key_Tab);
        press(Qt::Key_Space);
        press(Qt::Key_Down, Qt::NoModifier, 23);
        press(Qt::Key_Space);
        QCOMPARE(focusName(), QStringLiteral("Picture4"));

        deliverFromX(true, kReturnKeycode, 1000);
        sendTimelessCopy(QApplication::focusWidget(), QEvent::KeyPress, kReturnKeycode);
        QCOMPARE(modelFlags(*w), kReleased);
        QCOMPARE(focusName(), QStringLiteral("Command1"));
        for (std::uint32_t time : {1500u, 1533u, 1566u}) {
            deliverFromX(false, kReturnKeycode, time);
            deliverFromX(true, kReturnKeycode, time);
            sendTimelessCopy(QApplication::focusWidget(), QEvent::KeyRelease, kReturnKeycode);
            sendTimelessCopy(QApplication::focusWidget(), QEvent::KeyPress, kReturnKeycode);
        }
        QCOMPARE(modelFlags(*w), kReleased);
        deliverFromX(false, kReturnKeycode, 1600);
        sendTimelessCopy(QApplication::focusWidget(), QEvent::KeyRelease, kReturnKeycode);
        QCOMPARE(modelFlags(*w), kReleased);
#else
        QSKIP("the window notes key times only on X");
#endif
    }

    void focusRingShowsOnlyForKeyboardFocus() {
        auto w = activeWindow();
        QVERIFY(w);
        QWidget* substrate = w->controlWidget("Picture2");
        const QPoint ring(2 + 1, 2 + 100); // on the ring's left side, inside the frame
        const QColor before = substrate->grab().toImage().pixelColor(ring);
        substrate->setFocus(Qt::MouseFocusReason);
        QCOMPARE(substrate->grab().toImage().pixelColor(ring), before);
        substrate->clearFocus();
        substrate->setFocus(Qt::TabFocusReason);
        QCOMPARE(substrate->grab().toImage().pixelColor(ring),
                 QColor(kFocusRingColour.r, kFocusRingColour.g, kFocusRingColour.b));
    }

    void aClickThatWakesTheWindowShowsNoRing() {
        auto w = shownWindow(); // not active yet: the click's focus arrives with the activation
        QWidget* substrate = w->controlWidget("Picture2");
        const QColor before = substrate->grab().toImage().pixelColor(3, 102);
        QTest::mouseClick(substrate, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20)); // as the platform sends it
        QApplication::setActiveWindow(w.get());
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QCOMPARE(QApplication::focusWidget(), substrate);
        QCOMPARE(substrate->grab().toImage().pixelColor(3, 102), before);
    }
};

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
