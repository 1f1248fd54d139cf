// SPDX-License-Identifier: MIT
#include "ui_test_support.h"

#include "reaction/focus_mark.h"

#include <QTest>

using namespace velmora;
using namespace velmora::testing;

namespace {

QString focusName() { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); }

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1) {
    for (int i = 0; i < times; ++i) QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

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
