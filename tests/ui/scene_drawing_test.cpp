// SPDX-License-Identifier: MIT
#include "reaction/stage.h"
#include "ui_test_support.h"

#include <QTest>

using namespace velmora;
using namespace velmora::testing;

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kAreaBackground(212, 208, 200); // picture areas without a colour of their own

} // namespace

Q_DECLARE_METATYPE(velmora::Stage)

// Each picture is drawn 1:1 at its area's inner top-left corner, 2 pixels inside the frame:
// enzyme (202,274), substrate (194,66), products (186,50), complex (218,274).
class SceneDrawingTest : public QObject {
    Q_OBJECT

private slots:
    void pixelsOnScreen_data() {
        QTest::addColumn<Stage>("stage");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QColor>("colour");

        QTest::newRow("enzyme block") << Stage::Apart << QPoint(202 + 40, 274 + 150) << kBlack;
        QTest::newRow("enzyme notch, rows read bottom-up") << Stage::Apart << QPoint(202 + 97, 274 + 130) << kWhite;
        QTest::newRow("enzyme ground above the block") << Stage::Apart << QPoint(202 + 100, 274 + 50) << kWhite;
        QTest::newRow("enzyme area right of its picture")
            << Stage::Apart << QPoint(202 + 240, 274 + 100) << kAreaBackground;
        QTest::newRow("enzyme area below its picture")
            << Stage::Apart << QPoint(202 + 100, 274 + 215) << kAreaBackground;
        QTest::newRow("substrate block") << Stage::Apart << QPoint(194 + 30, 66 + 40) << kRed;
        QTest::newRow("substrate tab, last rows before the clip")
            << Stage::Apart << QPoint(194 + 100, 66 + 190) << kRed;
        QTest::newRow("substrate area right of its picture") << Stage::Apart << QPoint(194 + 204, 66 + 100) << kWhite;

        QTest::newRow("complex tab in the enzyme's place") << Stage::Bound << QPoint(218 + 100, 274 + 130) << kRed;
        QTest::newRow("complex notch left of the tab") << Stage::Bound << QPoint(218 + 72, 274 + 130) << kBlack;
        QTest::newRow("complex area right of its picture")
            << Stage::Bound << QPoint(218 + 230, 274 + 100) << kAreaBackground;
        QTest::newRow("complex area below its picture")
            << Stage::Bound << QPoint(218 + 100, 274 + 215) << kAreaBackground;
        QTest::newRow("upper area empty") << Stage::Bound << QPoint(194 + 30, 66 + 40) << kBlack;
        QTest::newRow("enzyme strip left of the complex") << Stage::Bound << QPoint(205, 400) << kBlack;

        QTest::newRow("left product bar") << Stage::Released << QPoint(186 + 40, 50 + 100) << kRed;
        QTest::newRow("gap between the bars") << Stage::Released << QPoint(186 + 90, 50 + 100) << kWhite;
        QTest::newRow("products area right of its picture")
            << Stage::Released << QPoint(186 + 215, 50 + 100) << kAreaBackground;
        QTest::newRow("products area below its picture")
            << Stage::Released << QPoint(186 + 100, 50 + 208) << kAreaBackground;
        QTest::newRow("enzyme back, unchanged") << Stage::Released << QPoint(202 + 40, 274 + 150) << kBlack;
        QTest::newRow("enzyme notch empty again") << Stage::Released << QPoint(202 + 97, 274 + 130) << kWhite;
    }

    void pixelsOnScreen() {
        QFETCH(Stage, stage);
        QFETCH(QPoint, point);
        QFETCH(QColor, colour);
        auto w = shownWindow();
        if (stage != Stage::Apart) dragSubstrate(*w, QPoint(50, 60), QPoint(330, 400));
        if (stage == Stage::Released) clickControl(*w, "Picture4");
        QCOMPARE(w->grab().toImage().pixelColor(point), colour);
    }

    void substrateAreaClipsThePictureAtItsInnerEdge() {
        // The substrate's area is 201 pixels high: 197 rows of its 203-row picture fit inside the
        // frame. The rows below are clipped, so the frame's lower edge keeps its own colours
        // instead of the picture's white ground.
        auto w = shownWindow();
        const QImage shot = w->grab().toImage();
        const int frameBottom = 64 + 201 - 2;                 // the frame's two bottom rows
        QCOMPARE(shot.pixelColor(194 + 100, 66 + 185), kRed); // the tab, low down
        QCOMPARE(shot.pixelColor(194 + 100, frameBottom), kAreaBackground);
        QCOMPARE(shot.pixelColor(194 + 100, frameBottom + 1), kWhite);
        QCOMPARE(shot.pixelColor(194 + 100, frameBottom + 2), kBlack); // the form below
    }
};

QTEST_MAIN(SceneDrawingTest)
#include "scene_drawing_test.moc"
