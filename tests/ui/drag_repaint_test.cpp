// SPDX-License-Identifier: MIT
#include "ui_test_support.h"

#include <QPaintEvent>
#include <QTest>

using namespace velmora;
using namespace velmora::testing;

namespace {

// Records, in window coordinates, every region any widget of the window paints.
class PaintRecorder final : public QObject {
public:
    explicit PaintRecorder(QWidget* window) : window_(window) {
        window->installEventFilter(this);
        for (QWidget* child : window->findChildren<QWidget*>()) child->installEventFilter(this);
    }
    QRegion painted;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            auto* widget = static_cast<QWidget*>(object);
            const QRegion region = static_cast<QPaintEvent*>(event)->region();
            painted += widget == window_ ? region : region.translated(widget->mapTo(window_, QPoint(0, 0)));
        }
        return false;
    }

private:
    QWidget* window_;
};

QRegion ring(const QRect& r, int thickness) {
    return QRegion(r) - QRegion(r.adjusted(thickness, thickness, -thickness, -thickness));
}

} // namespace

class DragRepaintTest : public QObject {
    Q_OBJECT

private slots:
    void aDragStepRepaintsOnlyTheOutlineItLeavesAndCovers() {
        auto w = shownWindow();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QWidget* substrate = w->controlWidget("Picture2");
        sendMouse(substrate, QEvent::MouseButtonPress, QPoint(50, 50), Qt::LeftButton);
        sendMouse(substrate, QEvent::MouseMove, QPoint(60, 80), Qt::LeftButton);
        QCoreApplication::processEvents();
        const QRect before = w->dragOutline()->ring();

        PaintRecorder recorder(w.get());
        sendMouse(substrate, QEvent::MouseMove, QPoint(67, 91), Qt::LeftButton);
        const QRect after = w->dragOutline()->ring();
        QTRY_VERIFY(!recorder.painted.isEmpty());

        const QRegion allowed = ring(before, 2) + ring(after, 2);
        QVERIFY2((recorder.painted - allowed).isEmpty(),
                 qPrintable(QStringLiteral("painted %1 px outside the outline's rings")
                                .arg((recorder.painted - allowed).boundingRect().width())));
        sendMouse(substrate, QEvent::MouseButtonRelease, QPoint(67, 91), Qt::NoButton);
    }
};

QTEST_MAIN(DragRepaintTest)
#include "drag_repaint_test.moc"
