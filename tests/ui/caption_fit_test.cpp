// SPDX-License-Identifier: MIT
// The button's caption in every language the lesson speaks, as the window draws it: every letter
// in a font that has it, whole, with room to spare inside the button's face, and named the same
// for a screen reader.
#include "ui_test_support.h"

#include "language/language.h"
#include "reaction/lesson_texts.h"
#include "ui/qt_conversions.h"

#include <QGlyphRun>
#include <QPushButton>
#include <QRawFont>
#include <QTest>
#include <QTextLayout>

using namespace velmora;

class CaptionFitTest : public QObject {
    Q_OBJECT

private slots:
    void eachCaptionFitsItsButton_data() {
        QTest::addColumn<QString>("language");
        for (const std::string_view code : lessonLanguages())
            QTest::newRow(std::string(code).c_str()) << fromUtf8(code);
    }

    void eachCaptionFitsItsButton() {
        QFETCH(QString, language);
        const Language lesson(language.toStdString());
        QCOMPARE(fromUtf8(lesson.code()), language);
        FormWindow window(lesson, SceneImages::load(lesson));
        window.show();
        auto* button = qobject_cast<QPushButton*>(window.controlWidget("Command1"));
        const QString caption = button->text();
        QCOMPARE(caption, fromUtf8(captionText(lesson, *window.session().form().find("Command1"))));
        QCOMPARE(button->accessibleName(), caption);
        // Every letter has a glyph in the button's font or a fallback font (glyph 0 is the empty box).
        QTextLayout layout(caption, button->font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        for (const QGlyphRun& run : layout.glyphRuns())
            QVERIFY2(
                !run.glyphIndexes().contains(0),
                qPrintable(QStringLiteral("\"%1\" has a letter %2 lacks").arg(caption, run.rawFont().familyName())));

        // The caption's ink: the dark pixels inside the button's two-pixel frame.
        const QImage face = button->grab().toImage();
        QRect ink;
        for (int y = 2; y < face.height() - 2; ++y)
            for (int x = 2; x < face.width() - 2; ++x)
                if (qGray(face.pixel(x, y)) < 128) ink |= QRect(x, y, 1, 1);
        QVERIFY2(ink.width() > 20, "the caption is drawn");
        constexpr int kRoom = 3; // clear pixels between the caption and the frame on every side
        QVERIFY2(ink.left() >= 2 + kRoom && ink.right() <= face.width() - 3 - kRoom && ink.top() >= 2 + kRoom &&
                     ink.bottom() <= face.height() - 3 - kRoom,
                 qPrintable(QStringLiteral("\"%1\" covers x %2-%3, y %4-%5 of a %6 by %7 button")
                                .arg(caption)
                                .arg(ink.left())
                                .arg(ink.right())
                                .arg(ink.top())
                                .arg(ink.bottom())
                                .arg(face.width())
                                .arg(face.height())));
    }
};

QTEST_MAIN(CaptionFitTest)
#include "caption_fit_test.moc"
