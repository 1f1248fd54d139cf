#include "ui/qt_conversions.h"

#include "model/twips.h"

#include <QStringList>

namespace velmora {

QColor toQColor(OleColor c) {
    const Rgb rgb = resolveColor(c).value_or(Rgb{});
    return QColor(rgb.r, rgb.g, rgb.b);
}

QRect pixelRect(const ControlRecord& r) {
    return QRect(pixelsFromTwips(r.left, kTwipsPerPixel), pixelsFromTwips(r.top, kTwipsPerPixel),
                 pixelsFromTwips(r.width, kTwipsPerPixel), pixelsFromTwips(r.height, kTwipsPerPixel));
}

QFont toQFont(const FontSpec& spec) {
    QFont font;
    font.setFamilies({QString::fromStdString(spec.family), QStringLiteral("Comic Neue"), QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(spec.points());
    font.setWeight(static_cast<QFont::Weight>(spec.weight));
    font.setBold(spec.bold || spec.weight >= 600);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikethrough);
    return font;
}

} // namespace velmora
