// SPDX-License-Identifier: MIT
#include "ui_test_support.h"

#include <QTest>

using namespace velmora;
using namespace velmora::testing;

namespace {

// The first and last columns of the heading that hold a pixel of its caption (-1, -1 for none).
std::pair<int, int> captionColumns() {
    auto w = shownWindow();
    const QImage heading = w->controlWidget("Label1")->grab().toImage();
    const QRgb ground = heading.pixel(0, 0);
    std::pair<int, int> columns{-1, -1};
    for (int x = 0; x < heading.width(); ++x) {
        for (int y = 0; y < heading.height(); ++y) {
            if (heading.pixel(x, y) == ground) continue;
            if (columns.first < 0) columns.first = x;
            columns.second = x;
            break;
        }
    }
    return columns;
}

} // namespace

class HeadingTest : public QObject {
    Q_OBJECT

private slots:
    // `velmora -reverse`, or a right-to-left language, lays the application out right to left;
    // the heading's caption is still drawn from its left edge.
    void captionStaysLeftInARightToLeftLayout() {
        const auto leftToRight = captionColumns();
        QApplication::setLayoutDirection(Qt::RightToLeft);
        const auto rightToLeft = captionColumns();
        QApplication::setLayoutDirection(Qt::LeftToRight);

        QVERIFY2(leftToRight.first >= 0 && leftToRight.first < 4, "the caption starts at the left edge");
        QVERIFY2(leftToRight.second < 140, "the caption ends before the heading's middle");
        QCOMPARE(rightToLeft, leftToRight);
    }
};

QTEST_MAIN(HeadingTest)
#include "heading_test.moc"
