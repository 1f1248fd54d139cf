// SPDX-License-Identifier: MIT
#include "ui_test_support.h"

#include "ui/qt_conversions.h"

#include <QTest>

using namespace velmora;
using namespace velmora::testing;

namespace {

// The first and last columns of the heading that hold a pixel of its caption (-1, -1 for none).
std::pair<int, int> captionColumns(const Language& language = Language()) {
    auto w = std::make_unique<FormWindow>(language, SceneImages::load(language));
    w->show();
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
    void captionStaysLeftInARightToLeftLayout_data() {
        QTest::addColumn<Qt::LayoutDirection>("layout");
        QTest::addColumn<QString>("language");
        QTest::newRow("velmora -reverse") << Qt::RightToLeft << QStringLiteral("en");
        QTest::newRow("a lesson in Arabic") << Qt::LeftToRight << QStringLiteral("ar");
    }

    // `velmora -reverse` lays the application out right to left, and a lesson in a language
    // written right to left draws its captions so; the heading's caption still starts at its left.
    void captionStaysLeftInARightToLeftLayout() {
        QFETCH(Qt::LayoutDirection, layout);
        QFETCH(QString, language);
        const auto leftToRight = captionColumns();
        QApplication::setLayoutDirection(layout);
        const Language lesson(language.toStdString());
        const auto rightToLeft = captionColumns(lesson);
        QApplication::setLayoutDirection(Qt::LeftToRight);

        QCOMPARE(fromUtf8(lesson.code()), language);
        QVERIFY2(leftToRight.first >= 0 && leftToRight.first < 4, "the caption starts at the left edge");
        QVERIFY2(leftToRight.second < 140, "the caption ends before the heading's middle");
        QCOMPARE(rightToLeft, leftToRight);
    }
};

QTEST_MAIN(HeadingTest)
#include "heading_test.moc"
