// SPDX-License-Identifier: MIT
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

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QFont toQFont(const FontSpec& stored) {
    QFont font;
    font.setFamilies(
        {QString::fromStdString(stored.family), QStringLiteral("Comic Neue"), QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(stored.points());
    font.setWeight(stored.bold ? QFont::Bold : static_cast<QFont::Weight>(stored.weight));
    font.setItalic(stored.italic);
    font.setUnderline(stored.underline);
    font.setStrikeOut(stored.strikethrough);
    return font;
}

} // namespace velmora
