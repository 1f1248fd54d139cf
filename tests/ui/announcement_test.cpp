// SPDX-License-Identifier: MIT
// What a screen reader is told as the lesson goes on: every accessibility event the window sends
// is captured as a screen reader gets it, and the sentences it would speak (the notifications,
// with their role and text) are checked step by step, for the keys and for the mouse.

#include "ui_test_support.h"

#include "reaction/lesson_texts.h"
#include "reaction/stage.h"
#include "ui/announcer.h"

#include <QAccessible>
#include <QTest>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <functional>

using namespace velmora;
using namespace velmora::testing;

namespace {

QStringList g_heard;          // what a screen reader speaks, in order
QList<QObject*> g_focusMoves; // every object that took the focus

void listen(QAccessibleEvent* event) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    if (event->type() == QAccessible::Announcement)
        g_heard << static_cast<QAccessibleAnnouncementEvent*>(event)->message();
#endif
    if (event->type() == QAccessible::ObjectShow) {
        QAccessibleInterface* iface = event->accessibleInterface();
        if (iface && iface->role() == QAccessible::Notification) g_heard << iface->text(QAccessible::Name);
    }
    if (event->type() == QAccessible::Focus) g_focusMoves << event->object();
}

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
QString said(Announcement a) { return text(announcementText(Language(), a)); }

// Keys one at a time, each handled before the next, as a pupil types them.
void press(Qt::Key key, int times = 1) {
    for (int i = 0; i < times; ++i) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QCoreApplication::processEvents();
    }
}

// Runs `step` and returns what was spoken because of it.
QStringList heardDuring(const std::function<void()>& step) {
    QCoreApplication::processEvents();
    g_heard.clear();
    g_focusMoves.clear();
    step();
    QCoreApplication::processEvents();
    return g_heard;
}

} // namespace

class AnnouncementTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QAccessible::installUpdateHandler(listen);
        QPlatformAccessibility* platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
        QVERIFY2(platform, "the offscreen platform has accessibility");
        platform->setActive(true);
        QVERIFY(QAccessible::isActive());
    }

    void cleanupTestCase() { QAccessible::installUpdateHandler(nullptr); }

    void keyboardLessonSaysEveryStepOnce() {
        auto w = shownWindow();
        QApplication::setActiveWindow(w.get());
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTRY_COMPARE(QApplication::focusWidget(), w->controlWidget("Picture1"));
        const QString over = said(Announcement::OverTarget);
        const struct {
            const char* what;
            std::function<void()> keys;
            QStringList expected;
        } steps[] = {
            {"tab to the substrate", [] { press(Qt::Key_Tab); }, {}},
            {"pick up", [] { press(Qt::Key_Space); }, {text(pickedUpText(Language(), {0, 1}))}},
            {"move onto the enzyme", [] { press(Qt::Key_Down, 23); }, {over}},
            {"ask where", [] { press(Qt::Key_F1); }, {text(holdingText(Language(), {0, 0}))}},
            {"tab away while holding", [] { press(Qt::Key_Tab); }, {said(Announcement::Cancelled)}},
            {"bind",
             [] { press(Qt::Key_Backtab), press(Qt::Key_Space), press(Qt::Key_Down, 23), press(Qt::Key_Space); },
             {text(pickedUpText(Language(), {0, 1})), over, said(Announcement::Bound)}},
            {"release", [] { press(Qt::Key_Space); }, {said(Announcement::Released)}},
            {"reset at the start says nothing",
             [] { press(Qt::Key_Space), press(Qt::Key_Return); },
             {said(Announcement::Reset)}},
        };
        for (const auto& step : steps) {
            const QStringList heard = heardDuring(step.keys);
            QVERIFY2(heard == step.expected, qPrintable(QString::fromUtf8(step.what) + ": " + heard.join(" | ")));
        }
        QCOMPARE(modelFlags(*w), kApart);
    }

    void focusGoesStraightToTheComplexOnABindingDrop() {
        auto w = shownWindow();
        QApplication::setActiveWindow(w.get());
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->controlWidget("Picture2")->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Space);
        press(Qt::Key_Down, 23);
        heardDuring([] { press(Qt::Key_Space); });
        QCOMPARE(g_focusMoves, QList<QObject*>{w->controlWidget("Picture4")});
        heardDuring([] { press(Qt::Key_Space); });
        QCOMPARE(g_focusMoves, QList<QObject*>{w->controlWidget("Command1")});
    }

    void mouseGesturesAreSaidToo() {
        auto w = shownWindow();
        const struct {
            const char* what;
            std::function<void()> gesture;
            QStringList expected;
        } steps[] = {
            {"drop on the form",
             [&] { dragSubstrate(*w, QPoint(40, 40), QPoint(600, 400)); },
             {said(Announcement::Missed)}},
            {"drop on the enzyme",
             [&] { dragSubstrate(*w, QPoint(40, 40), QPoint(330, 400)); },
             {said(Announcement::Bound)}},
            {"click the complex", [&] { clickControl(*w, "Picture4"); }, {said(Announcement::Released)}},
        };
        for (const auto& step : steps) {
            const QStringList heard = heardDuring(step.gesture);
            QVERIFY2(heard == step.expected, qPrintable(QString::fromUtf8(step.what) + ": " + heard.join(" | ")));
        }
    }

    void announcerIsHeardButNeitherSeenNorFocusable() {
        auto w = activeWindow(); // its focus ring already drawn
        QVERIFY(w);
        const QImage before = w->grab().toImage();
        heardDuring([&] { dragSubstrate(*w, QPoint(40, 40), QPoint(600, 400)); });
        QCOMPARE(w->announcer()->focusPolicy(), Qt::NoFocus);
        QCOMPARE(w->grab().toImage(), before);

        // The announcer is in the tree for a screen reader to find; the outline's strips are not.
        w->controlWidget("Picture2")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w->controlWidget("Picture2"), Qt::Key_Space);
        QVERIFY(w->keyboardDragInProgress());
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(w.get());
        QStringList children;
        for (int i = 0; i < window->childCount(); ++i) children << window->child(i)->object()->objectName();
        children.sort();
        QCOMPARE(children,
                 (QStringList{"Announcer", "Command1", "Label1", "Picture1", "Picture2", "Picture3", "Picture4"}));
    }
};

QTEST_MAIN(AnnouncementTest)
#include "announcement_test.moc"
