// SPDX-License-Identifier: MIT
#include "ui_test_support.h"

#include "app/error_policy.h"
#include "runtime/error_handling.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace velmora;
using namespace velmora::testing;

Q_DECLARE_METATYPE(velmora::testing::Flags)

class FormWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startScreenHasTheStoredLayout() {
        auto w = shownWindow();
        QCOMPARE(w->windowTitle(), QStringLiteral("Tessivar"));
        QCOMPARE(w->size(), QSize(663, 510));
        const struct {
            const char* name;
            QRect geometry;
            bool shown;
        } expected[] = {
            {"Label1", QRect(192, 0, 281, 33), true},       {"Picture1", QRect(200, 272, 273, 233), true},
            {"Picture2", QRect(192, 64, 209, 201), true},   {"Picture3", QRect(184, 48, 241, 217), false},
            {"Picture4", QRect(216, 272, 257, 233), false}, {"Command1", QRect(512, 72, 81, 33), true},
        };
        for (const auto& e : expected) {
            QWidget* widget = w->controlWidget(e.name);
            QVERIFY2(widget, e.name);
            QCOMPARE(widget->geometry(), e.geometry);
            QCOMPARE(widget->isVisible(), e.shown);
        }
        QCOMPARE(qobject_cast<QPushButton*>(w->controlWidget("Command1"))->text(), QStringLiteral("Reset"));
    }

    void startScreenColours() {
        auto w = shownWindow();
        const QImage shot = w->grab().toImage();
        const auto at = [&](int x, int y) { return shot.pixelColor(x, y); };
        QCOMPARE(at(20, 300), QColor(Qt::black));                     // the form
        QCOMPARE(at(470, 20), QColor(Qt::black));                     // the heading's own background
        QCOMPARE(at(200 + 2 + 230, 272 + 40), QColor(212, 208, 200)); // enzyme area right of its picture
        QCOMPARE(at(200 + 60, 272 + 2 + 220), QColor(212, 208, 200)); // and below it
        QCOMPARE(at(192 + 2 + 204, 64 + 30), QColor(Qt::white));      // substrate area's white background
        bool headingHasWhiteText = false;
        for (int x = 192; x < 280 && !headingHasWhiteText; ++x)
            for (int y = 0; y < 33 && !headingHasWhiteText; ++y) headingHasWhiteText = at(x, y) == QColor(Qt::white);
        QVERIFY(headingHasWhiteText);
    }

    void resizingMovesNothing() {
        auto w = shownWindow();
        w->resize(900, 700);
        QCOMPARE(w->controlWidget("Picture1")->geometry(), QRect(200, 272, 273, 233));
        QCOMPARE(w->grab().toImage().pixelColor(800, 650), QColor(Qt::black));
    }

    void dropSubstrate_data() {
        QTest::addColumn<QPoint>("drop");
        QTest::addColumn<Flags>("expected");
        QTest::newRow("enzyme centre") << QPoint(330, 380) << kBound;
        QTest::newRow("enzyme strip right of its picture") << QPoint(460, 300) << kBound;
        QTest::newRow("enzyme strip below its picture") << QPoint(260, 500) << kBound;
        QTest::newRow("enzyme left edge") << QPoint(200, 272) << kBound;
        QTest::newRow("form background") << QPoint(60, 400) << kApart;
        QTest::newRow("heading") << QPoint(230, 15) << kApart;
        QTest::newRow("reset button") << QPoint(550, 88) << kApart;
        QTest::newRow("substrate itself") << QPoint(300, 150) << kApart;
        QTest::newRow("outside the window") << QPoint(900, 900) << kApart;
    }

    void dropSubstrate() {
        QFETCH(QPoint, drop);
        QFETCH(Flags, expected);
        auto w = shownWindow();
        dragSubstrate(*w, QPoint(50, 60), drop);
        QCOMPARE(modelFlags(*w), expected);
        QCOMPARE(shownFlags(*w), expected);
        QVERIFY(!w->dragInProgress());
        QVERIFY(w->dragOutline()->isHidden());
        QCOMPARE(w->controlWidget("Picture2")->geometry(), QRect(192, 64, 209, 201));
    }

    void pressAndReleaseWithoutMovingChangesNothing() {
        auto w = shownWindow();
        QWidget* substrate = w->controlWidget("Picture2");
        sendMouse(substrate, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton);
        QVERIFY(w->dragInProgress());
        sendMouse(substrate, QEvent::MouseButtonRelease, QPoint(10, 10), Qt::NoButton);
        QCOMPARE(modelFlags(*w), kApart);
    }

    void outlineFollowsThePointerAtTheGrabOffset() {
        auto w = shownWindow();
        QWidget* substrate = w->controlWidget("Picture2");
        sendMouse(substrate, QEvent::MouseButtonPress, QPoint(40, 30), Qt::LeftButton);
        sendMouse(substrate, QEvent::MouseMove, QPoint(140, 230), Qt::LeftButton);
        const DragOutline* outline = w->dragOutline();
        QVERIFY(outline->isVisible());
        QCOMPARE(outline->ring(), QRect(192 + 100, 64 + 200, 209, 201));
        QVERIFY(substrate->isVisible()); // the substrate stays where it is while dragged
        sendMouse(substrate, QEvent::MouseButtonRelease, QPoint(140, 230), Qt::NoButton);
        QVERIFY(outline->isHidden());
    }

    void complexClickReleasesProductsAndDoubleClickActsOnce() {
        auto w = shownWindow();
        dragSubstrate(*w, QPoint(50, 60), QPoint(330, 380));
        int notices = 0;
        auto inner = w->model().visibilityListener();
        w->model().setVisibilityListener([&](const Control& c) {
            ++notices;
            return inner(c);
        });
        QWidget* complex = w->controlWidget("Picture4");
        const QPoint p(100, 100);
        sendMouse(complex, QEvent::MouseButtonPress, p, Qt::LeftButton);
        sendMouse(complex, QEvent::MouseButtonRelease, p, Qt::NoButton);
        QCOMPARE(modelFlags(*w), kReleased);
        // The second half of a double-click finds the enzyme where the complex was.
        QWidget* under = w->childAt(complex->mapTo(w.get(), p));
        QCOMPARE(under, w->controlWidget("Picture1"));
        sendMouse(under, QEvent::MouseButtonDblClick, p, Qt::LeftButton);
        sendMouse(under, QEvent::MouseButtonRelease, p, Qt::NoButton);
        // Even a double-click delivered to the complex itself is not a second click.
        sendMouse(complex, QEvent::MouseButtonDblClick, p, Qt::LeftButton);
        sendMouse(complex, QEvent::MouseButtonRelease, p, Qt::NoButton);
        QCOMPARE(modelFlags(*w), kReleased);
        QCOMPARE(notices, 3);
    }

    void clicksWithoutHandlersDoNothing() {
        auto w = shownWindow();
        for (const char* name : {"Picture1", "Label1", "Picture2"}) clickControl(*w, name);
        sendMouse(w.get(), QEvent::MouseButtonPress, QPoint(50, 400), Qt::LeftButton);
        sendMouse(w.get(), QEvent::MouseButtonRelease, QPoint(50, 400), Qt::NoButton);
        QCOMPARE(modelFlags(*w), kApart);
    }

    void resetRestoresTheStartFromEveryState() {
        for (int stage = 0; stage < 3; ++stage) {
            auto w = shownWindow();
            if (stage >= 1) dragSubstrate(*w, QPoint(50, 60), QPoint(330, 380));
            if (stage >= 2) clickControl(*w, "Picture4");
            clickControl(*w, "Command1");
            QCOMPARE(modelFlags(*w), kApart);
            QCOMPARE(shownFlags(*w), kApart);
        }
    }

    void focusFollowsTabOrderAndSkipsHiddenControls() {
        auto w = shownWindow();
        QApplication::setActiveWindow(w.get());
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTRY_COMPARE(QApplication::focusWidget(), w->controlWidget("Picture1"));
        const auto tabSequence = [&](int count) {
            QStringList names;
            for (int i = 0; i < count; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                names << QApplication::focusWidget()->objectName();
            }
            return names;
        };
        QCOMPARE(tabSequence(3), (QStringList{"Picture2", "Command1", "Picture1"}));
        clickControl(*w, "Picture1");
        dragSubstrate(*w, QPoint(50, 60), QPoint(330, 380));
        w->controlWidget("Picture4")->setFocus();
        QCOMPARE(tabSequence(2), (QStringList{"Command1", "Picture4"}));
    }

    void failingVisibilityChangeDuringResetIsReportedOnceAndEndsTheProgram() {
        auto w = shownWindow();
        dragSubstrate(*w, QPoint(50, 60), QPoint(330, 380)); // Bound: reset changes three flags
        auto inner = w->model().visibilityListener();
        int seen = 0;
        w->model().setVisibilityListener(
            [&](const Control& c) { return ++seen == 2 ? static_cast<Status>(0x8007000Eu) : inner(c); });
        QStringList titles, texts;
        QList<int> ends;
        ErrorPolicy policy(
            QStringLiteral("Velmora"), [&](QWidget*, const QString& t, const QString& x) { titles << t, texts << x; },
            [&](int status) { ends << status; });
        w->setErrorReport([&](const RunTimeError& e) { policy.report(e); });

        clickControl(*w, "Command1");
        QCOMPARE(titles, QStringList{"Velmora"});
        QVERIFY2(texts[0].contains(QString::number(static_cast<Status>(0x8007000Eu))), qPrintable(texts[0]));
        QVERIFY2(texts[0].contains("Picture2") && texts[0].contains("Visible"), qPrintable(texts[0]));
        QCOMPARE(ends, QList<int>{kExitOnError});
        // The enzyme came back before the failure; the substrate and the complex were not changed.
        const Flags expected{true, false, false, true};
        QCOMPARE(modelFlags(*w), expected);
        QCOMPARE(shownFlags(*w), expected);
    }

    void startUpFailureIsAlsoOneLineOnStderr() {
        QStringList texts;
        QList<QByteArray> lines;
        ErrorPolicy policy(
            QStringLiteral("Velmora"), [&](QWidget*, const QString&, const QString& x) { texts << x; }, [](int) {},
            [&](const QByteArray& line) { lines << line; });
        policy.reportStartFailure(QStringLiteral("A stored picture is damaged.\n\nRow 3 is short."));
        QCOMPARE(texts, QStringList{"A stored picture is damaged.\n\nRow 3 is short."});
        QCOMPARE(lines, QList<QByteArray>{"velmora: A stored picture is damaged. Row 3 is short.\n"});
    }

    void theEventLoopEndsWithTheRightStatus() {
        {
            auto w = shownWindow();
            ErrorPolicy policy(
                QStringLiteral("Velmora"), [](QWidget*, const QString&, const QString&) {},
                [](int status) { QCoreApplication::exit(status); });
            w->setErrorReport([&](const RunTimeError& e) { policy.report(e); });
            dragSubstrate(*w, QPoint(50, 60), QPoint(330, 380));
            w->model().setVisibilityListener([](const Control&) { return kStatusFail; });
            QTimer::singleShot(0, w.get(), [&] { clickControl(*w, "Command1"); });
            QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
            QCOMPARE(QCoreApplication::exec(), kExitOnError);
        }
        {
            auto w = shownWindow();
            dragSubstrate(*w, QPoint(50, 60), QPoint(330, 380));
            QTimer::singleShot(0, w.get(), [&] { w->close(); });
            QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
            QCOMPARE(QCoreApplication::exec(), 0);
        }
    }
};

QTEST_MAIN(FormWindowTest)
#include "form_window_test.moc"
