// SPDX-License-Identifier: MIT
#include "ui_test_support.h"

#include <QAccessible>
#include <QTest>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

// Every accessibility event the window sends, as (object, type), recorded by an update handler.
QList<QPair<QObject*, QAccessible::Event>> g_events;

void recordEvent(QAccessibleEvent* event) { g_events.append({event->object(), event->type()}); }

QAccessibleInterface* accessible(QObject* object) { return QAccessible::queryAccessibleInterface(object); }

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // As if a screen reader had asked: events reach the update handler only while the
        // platform's accessibility is active.
        QAccessible::installUpdateHandler(recordEvent);
        QPlatformAccessibility* platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
        if (platform == nullptr) QSKIP("this platform has no accessibility");
        platform->setActive(true);
        QVERIFY(QAccessible::isActive());
    }

    void cleanupTestCase() { QAccessible::installUpdateHandler(nullptr); }

    void namesRolesAndDescriptions() {
        auto w = shownWindow();
        const struct {
            const char* control;
            QString name;
            QAccessible::Role role;
            const char* descriptionWord;
        } expected[] = {
            {"Picture1", "Enzyme", QAccessible::Graphic, "notch"},
            {"Picture2", "Substrate", QAccessible::Graphic, "arrow keys"},
            {"Picture3", "Products", QAccessible::Graphic, "released"},
            {"Picture4", "Complex of enzyme and substrate", QAccessible::Button, "Space"},
            {"Command1", "Reset", QAccessible::Button, "again"},
            {"Label1", "Tessivar", QAccessible::StaticText, ""},
        };
        for (const auto& e : expected) {
            QAccessibleInterface* iface = accessible(w->controlWidget(e.control));
            QVERIFY2(iface, e.control);
            QCOMPARE(iface->text(QAccessible::Name), e.name);
            QCOMPARE(iface->role(), e.role);
            QVERIFY2(iface->text(QAccessible::Description).contains(QLatin1String(e.descriptionWord)), e.control);
        }
        QCOMPARE(accessible(w.get())->text(QAccessible::Name), QStringLiteral("Tessivar"));
        QCOMPARE(accessible(w.get())->role(), QAccessible::Window);
    }

    void hiddenControlsAreNotShowing() {
        auto w = shownWindow();
        QVERIFY(accessible(w->controlWidget("Picture3"))->state().invisible);
        QVERIFY(!accessible(w->controlWidget("Picture2"))->state().invisible);
        dragSubstrate(*w, QPoint(40, 40), QPoint(330, 400));
        QVERIFY(accessible(w->controlWidget("Picture2"))->state().invisible);
        QVERIFY(!accessible(w->controlWidget("Picture4"))->state().invisible);
    }

    void stageDescriptionFollowsTheLessonWithAChangeEvent() {
        auto w = shownWindow();
        QAccessibleInterface* window = accessible(w.get());
        QVERIFY(window->text(QAccessible::Description).contains(QLatin1String("apart")));

        const auto stepAnnounces = [&](auto&& step, const char* word) {
            g_events.clear();
            step();
            const QString description = window->text(QAccessible::Description);
            QVERIFY2(description.contains(QLatin1String(word)), qPrintable(description));
            QVERIFY(g_events.contains({w.get(), QAccessible::DescriptionChanged}));
        };
        stepAnnounces([&] { dragSubstrate(*w, QPoint(40, 40), QPoint(330, 400)); }, "complex");
        QVERIFY(g_events.contains({w->controlWidget("Picture4"), QAccessible::ObjectShow}));
        QVERIFY(g_events.contains({w->controlWidget("Picture2"), QAccessible::ObjectHide}));
        stepAnnounces([&] { clickControl(*w, "Picture4"); }, "released");
        stepAnnounces([&] { clickControl(*w, "Command1"); }, "apart");

        // A drop that changes nothing says nothing new.
        g_events.clear();
        dragSubstrate(*w, QPoint(40, 40), QPoint(600, 400));
        QVERIFY(!g_events.contains({w.get(), QAccessible::DescriptionChanged}));
    }

    void pressActionOnTheComplexReleasesTheProducts() {
        auto w = shownWindow();
        dragSubstrate(*w, QPoint(40, 40), QPoint(330, 400));
        QAccessibleActionInterface* action = accessible(w->controlWidget("Picture4"))->actionInterface();
        QVERIFY(action);
        QCOMPARE(action->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
        action->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(modelFlags(*w), kReleased);
        QVERIFY(!accessible(w->controlWidget("Picture1"))->actionInterface() ||
                accessible(w->controlWidget("Picture1"))->actionInterface()->actionNames().isEmpty());
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
