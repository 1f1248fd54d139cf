// SPDX-License-Identifier: MIT
// The floor for scripts/measure-startup and scripts/measure-drag: the least a Qt Widgets
// program must do to draw Velmora's start screen. One 663 x 510 black window titled
// "Tessivar"; a label and a "Reset" button in the same font; four plain child widgets at the
// geometries of the four picture areas, two of them showing a 203 x 203 image made in memory
// (no decoding), two hidden; and, like the real window, an outline that follows the pointer
// while the substrate's stand-in is dragged. It has no model, no events table and no reaction.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegion>
#include <QWidget>

namespace {

QFont comicFont(qreal points) {
    QFont font;
    font.setFamilies({QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"), QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

// White ground with one coloured block, roughly where the real pictures have theirs; the
// enzyme's block covers window point (250, 420), which the measuring scripts look at.
QImage blockImage(QColor block, QRect where) {
    QImage image(203, 203, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(where, block);
    return image;
}

// A ring that follows the pointer, masked so a move repaints only the strips it touches.
class Outline final : public QWidget {
public:
    explicit Outline(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }
    void showAt(const QRect& geometry) {
        if (geometry.size() != size()) {
            const QRect ring(QPoint(0, 0), geometry.size());
            setMask(QRegion(ring) - QRegion(ring.adjusted(2, 2, -2, -2)));
        }
        setGeometry(geometry);
        if (isHidden()) {
            show();
            raise();
        }
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::gray);
    }
};

// A plain picture holder: its image at (2, 2) on a white ground. Dragging one that has an
// outline moves the outline; the release does nothing.
class Picture final : public QWidget {
public:
    Picture(QImage image, QWidget* parent, Outline* outline = nullptr)
        : QWidget(parent), image_(std::move(image)), outline_(outline) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (!image_.isNull()) painter.drawImage(QPoint(2, 2), image_);
    }
    void mousePressEvent(QMouseEvent* event) override {
        grab_ = event->position().toPoint();
        if (outline_ != nullptr) outline_->showAt(geometry());
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (outline_ != nullptr) outline_->showAt(QRect(mapToParent(event->position().toPoint()) - grab_, size()));
    }
    void mouseReleaseEvent(QMouseEvent*) override {
        if (outline_ != nullptr) outline_->hide();
    }

private:
    QImage image_;
    Outline* outline_;
    QPoint grab_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Tessivar"));
    QPalette black = window.palette();
    black.setColor(QPalette::Window, Qt::black);
    window.setPalette(black);
    window.setAutoFillBackground(true);
    window.resize(663, 510);

    auto* outline = new Outline(&window);

    auto* label = new QLabel(QStringLiteral("Tessivar"), &window);
    label->setFont(comicFont(15.75));
    QPalette white = label->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(white);
    label->setGeometry(192, 0, 281, 33);

    auto* enzyme = new Picture(blockImage(Qt::black, QRect(24, 109, 162, 84)), &window);
    enzyme->setGeometry(200, 272, 273, 233);
    auto* substrate = new Picture(blockImage(Qt::red, QRect(22, 36, 160, 114)), &window, outline);
    substrate->setGeometry(192, 64, 209, 201);
    auto* products = new Picture(QImage(), &window);
    products->setGeometry(184, 48, 241, 217);
    products->hide();
    auto* complex = new Picture(QImage(), &window);
    complex->setGeometry(216, 272, 257, 233);
    complex->hide();

    auto* reset = new QPushButton(QStringLiteral("Reset"), &window);
    reset->setFont(comicFont(14.25));
    reset->setGeometry(512, 72, 81, 33);

    window.show();
    return QApplication::exec();
}
