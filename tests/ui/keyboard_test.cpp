// SPDX-License-Identifier: MIT
#include "ui_test_support.h"

#include <QTest>

using namespace velmora;
using namespace velmora::testing;

Q_DECLARE_METATYPE(velmora::testing::Flags)

namespace {

QString focusName() { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); }

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1) {
    for (int i = 0; i < times; ++i) QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// Moves the held outline with the arrow keys until its centre is at `target`: tens, then ones.
void steerOutlineTo(FormWindow& w, QPoint target) {
    const QPoint delta = target - w.dragOutline()->ring().center();
    const auto axis = [](int d, Qt::Key less, Qt::Key more) {
        const Qt::Key key = d < 0 ? less : more;
        press(key, Qt::NoModifier, std::abs(d) / 10);
        press(key, Qt::ShiftModifier, std::abs(d) % 10);
    };
    axis(delta.x(), Qt::Key_Left, Qt::Key_Right);
    axis(delta.y(), Qt::Key_Up, Qt::Key_Down);
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

    void losingTheWindowCancelsAKeyboardDrag() {
        auto w = activeWindow();
        QVERIFY(w);
        w->controlWidget("Picture2")->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Space);
        QVERIFY(w->keyboardDragInProgress());
        QWidget other;
        other.show();
        QApplication::setActiveWindow(&other);
        QTRY_VERIFY(!w->isActiveWindow());
        QVERIFY(!w->dragInProgress());
        QVERIFY(w->dragOutline()->isHidden());
        QCOMPARE(modelFlags(*w), kApart);
    }

    void keysDuringAMouseDragLeaveItToTheMouse() {
        auto w = activeWindow();
        QVERIFY(w);
        QWidget* substrate = w->controlWidget("Picture2");
        sendMouse(substrate, QEvent::MouseButtonPress, QPoint(20, 20), Qt::LeftButton);
        substrate->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Space);
        press(Qt::Key_Escape);
        QVERIFY(w->dragInProgress());
        QVERIFY(!w->keyboardDragInProgress());
        const QPoint enzyme = substrate->mapFrom(w.get(), QPoint(330, 400));
        sendMouse(substrate, QEvent::MouseMove, enzyme, Qt::LeftButton);
        sendMouse(substrate, QEvent::MouseButtonRelease, enzyme, Qt::NoButton);
        QCOMPARE(modelFlags(*w), kBound);
    }

    void wholeOutlineStaysInsideTheWindowAlsoAfterAResize() {
        auto w = activeWindow();
        QVERIFY(w);
        w->controlWidget("Picture2")->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Space);
        press(Qt::Key_Up, Qt::NoModifier, 40);
        press(Qt::Key_Left, Qt::NoModifier, 40);
        QCOMPARE(w->dragOutline()->ring(), QRect(0, 0, 209, 201));
        press(Qt::Key_Right, Qt::NoModifier, 60);
        press(Qt::Key_Down, Qt::NoModifier, 30);
        w->resize(150, 80);
        QVERIFY(w->rect().contains(w->dragOutline()->ring().center()));
        press(Qt::Key_Space);
        QCOMPARE(modelFlags(*w), kApart);
    }

    void keyboardAndMouseDropAtTheSamePointAgree_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<Flags>("expected");
        QTest::newRow("enzyme") << QPoint(330, 400) << kBound;
        QTest::newRow("enzyme strip right of its picture") << QPoint(465, 300) << kBound;
        QTest::newRow("form") << QPoint(540, 400) << kApart;
        QTest::newRow("reset button") << QPoint(552, 100) << kApart;
        QTest::newRow("substrate itself") << QPoint(296, 164) << kApart;
    }

    void keyboardAndMouseDropAtTheSamePointAgree() {
        QFETCH(QPoint, point);
        QFETCH(Flags, expected);

        auto byMouse = shownWindow();
        dragSubstrate(*byMouse, QPoint(30, 30), point);
        QCOMPARE(modelFlags(*byMouse), expected);
        byMouse.reset();

        auto w = activeWindow();
        QVERIFY(w);
        w->controlWidget("Picture2")->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Enter);
        steerOutlineTo(*w, point);
        QCOMPARE(w->dragOutline()->ring().center(), point);
        press(Qt::Key_Enter);
        QCOMPARE(modelFlags(*w), expected);
        QCOMPARE(shownFlags(*w), expected);
        // A drop that binds nothing leaves the focus where it was.
        if (expected == kApart) QCOMPARE(focusName(), QStringLiteral("Picture2"));
    }

    void keysOnPictureAreasWithoutHandlersDoNothing() {
        auto w = activeWindow();
        QVERIFY(w);
        QTRY_COMPARE(focusName(), QStringLiteral("Picture1"));
        press(Qt::Key_Space);
        press(Qt::Key_Return);
        press(Qt::Key_Down);
        press(Qt::Key_Escape);
        QCOMPARE(modelFlags(*w), kApart);
        QVERIFY(!w->dragInProgress());
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
        QCOMPARE(substrate->grab().toImage().pixelColor(ring), QColor(0, 90, 200));
    }
};

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
