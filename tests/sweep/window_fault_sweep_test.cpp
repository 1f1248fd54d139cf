// SPDX-License-Identifier: MIT
// Fault sweep through the real window: every gesture that runs a handler, from every state the
// gestures reach, with the window's presentation refusing exactly one visibility change in turn.
// The error goes through the program's ErrorPolicy with a recording box and end.

#include "reaction_steps.h"
#include "ui_test_support.h"

#include "app/error_policy.h"
#include "runtime/error_handling.h"
#include "runtime/temporaries.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <stdexcept>

using namespace velmora;
using namespace velmora::testing;

namespace {

using Gesture = std::function<void(FormWindow&)>;

void dropOnEnzyme(FormWindow& w) { dragSubstrate(w, QPoint(50, 60), QPoint(330, 380)); }
void clickComplex(FormWindow& w) { clickControl(w, "Picture4"); }
void clickReset(FormWindow& w) { clickControl(w, "Command1"); }
void spaceOnReset(FormWindow& w) {
    QWidget* button = w.controlWidget("Command1");
    button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button, Qt::Key_Space);
}

struct Case {
    const char* name;
    Gesture reach; // real gestures from the start screen to the state the case begins in
    Gesture act;
    std::vector<Step> steps;
};

const std::vector<Case>& cases() {
    static const Gesture none = [](FormWindow&) {};
    static const Gesture bound = dropOnEnzyme;
    static const Gesture released = [](FormWindow& w) { dropOnEnzyme(w), clickComplex(w); };
    static const std::vector<Case> all{
        {"drop on the enzyme", none, dropOnEnzyme, dropSteps("Picture2")},
        {"click on the complex", bound, clickComplex, complexClickSteps()},
        {"reset while bound", bound, clickReset, resetSteps()},
        {"reset when released", released, clickReset, resetSteps()},
        {"reset by keyboard while bound", bound, spaceOnReset, resetSteps()},
        {"reset by keyboard when released", released, spaceOnReset, resetSteps()},
    };
    return all;
}

struct Recorder {
    QStringList titles;
    QStringList texts;
    QList<QWidget*> parents;
    QList<int> ends;
    ErrorPolicy policy{QStringLiteral("Velmora"),
                       [this](QWidget* parent, const QString& title, const QString& text) {
                           parents << parent, titles << title, texts << text;
                       },
                       [this](int status) { ends << status; }};
};

bool widgetsShowTheModel(FormWindow& w) {
    for (const Control& c : w.model().controls())
        if (w.controlWidget(c.name())->isVisible() != c.visible()) return false;
    return true;
}

} // namespace

class WindowFaultSweep : public QObject {
    Q_OBJECT

private slots:
    void everyStepOfEveryGestureRefusedInTurn() {
        int runs = 0;
        for (const Case& c : cases()) {
            for (const bool throwing : {false, true}) {
                Visibility before;
                std::vector<Step> notices;
                {
                    auto probe = shownWindow();
                    c.reach(*probe);
                    before = visibilityOf(probe->model());
                    notices = noticesFrom(before, c.steps);
                }
                QVERIFY2(!notices.empty(), c.name);
                for (std::size_t failAt = 0; failAt < notices.size(); ++failAt) {
                    const QByteArray where = QByteArray(c.name) + (throwing ? ", throwing" : ", status") +
                                             " at notice " + QByteArray::number(qsizetype(failAt)) + " (" +
                                             notices[failAt].control.c_str() + ")";
                    auto w = shownWindow();
                    c.reach(*w);
                    QCOMPARE(visibilityOf(w->model()), before);

                    const Status refusedWith = static_cast<Status>(0x8007000Eu + failAt);
                    auto inner = w->model().visibilityListener();
                    std::size_t told = 0;
                    w->model().setVisibilityListener([&](const Control& control) -> Status {
                        if (told++ != failAt) return inner(control);
                        if (throwing) throw std::runtime_error("window gone");
                        return refusedWith;
                    });
                    Recorder record;
                    record.policy.setParentWindow(w.get());
                    w->setErrorReport([&](const RunTimeError& e) { record.policy.report(e); });

                    c.act(*w);

                    Visibility expected = before;
                    for (std::size_t i = 0; i < failAt; ++i) expected[notices[i].control] = notices[i].visible;
                    QVERIFY2(told == failAt + 1, where + ": a step ran after the refused one");
                    QVERIFY2(visibilityOf(w->model()) == expected, where);
                    QVERIFY2(widgetsShowTheModel(*w), where);
                    QVERIFY2(record.titles == QStringList{"Velmora"}, where);
                    QCOMPARE(record.parents.value(0), w.get());
                    const Status number = throwing ? kStatusFail : refusedWith;
                    const QString& text = record.texts[0];
                    QVERIFY2(text.contains(QStringLiteral("'%1'").arg(number)), qPrintable(where + ": " + text));
                    QVERIFY2(text.contains(QString::fromStdString(notices[failAt].control)) && text.contains("Visible"),
                             qPrintable(where + ": " + text));
                    QVERIFY2(record.ends.size() == 1 && record.ends[0] == kExitOnError && kExitOnError != 0, where);
                    QVERIFY2(w->model().liveReferences() == 0 && Temporaries::live() == 0, where);
                    QVERIFY2(!w->dragInProgress() && w->dragOutline()->isHidden(), where);

                    // Until the program has ended, a second refusal is no second box.
                    w->model().setVisibilityListener([](const Control&) { return kStatusFail; });
                    clickReset(*w);
                    QVERIFY2(record.titles.size() == 1 && record.ends.size() == 1, where);
                    QVERIFY2(Temporaries::live() == 0, where);
                    ++runs;
                }
            }
        }
        QCOMPARE(runs, 2 * (3 + 3 + 3 + 2 + 3 + 2));
    }

    void refusalInsideARunningEventLoopEndsItWithTheErrorStatus() {
        auto w = shownWindow();
        auto inner = w->model().visibilityListener();
        int told = 0;
        // The drop hides the substrate, then the enzyme: the enzyme's change is refused.
        w->model().setVisibilityListener(
            [&](const Control& c) { return ++told == 2 ? static_cast<Status>(0x80070005u) : inner(c); });
        QStringList titles;
        ErrorPolicy policy(
            QStringLiteral("Velmora"), [&](QWidget*, const QString& title, const QString&) { titles << title; },
            [](int status) { QCoreApplication::exit(status); });
        w->setErrorReport([&](const RunTimeError& e) { policy.report(e); });

        QTimer gesture;
        gesture.setSingleShot(true);
        connect(&gesture, &QTimer::timeout, w.get(), [&] { dropOnEnzyme(*w); });
        gesture.start(0);
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(5000);

        QCOMPARE(QCoreApplication::exec(), kExitOnError);
        QCOMPARE(titles, QStringList{"Velmora"});
        QCOMPARE(told, 2);
        const Flags expected{true, false, false, false};
        QCOMPARE(modelFlags(*w), expected);
        QCOMPARE(shownFlags(*w), expected);
        QCOMPARE(w->model().liveReferences(), 0);
        QCOMPARE(Temporaries::live(), 0);
    }
};

QTEST_MAIN(WindowFaultSweep)
#include "window_fault_sweep_test.moc"
