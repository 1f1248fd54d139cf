// SPDX-License-Identifier: MIT
#pragma once

#include "language/language.h"
#include "model/picture_id.h"

#include <QImage>

#include <array>

namespace velmora {

/*
 * The four scene pictures, decoded once at start and shared (read-only, implicitly shared
 * QImages) with the picture areas that show them.
 */
class SceneImages final {
public:
    // Decodes the stored records, with the words in `language`. Throws PictureFormatError when
    // one is damaged.
    static SceneImages load(const Language& language);

    const QImage& image(PictureId id) const { return images_[static_cast<std::size_t>(id)]; }
    void setImage(PictureId id, QImage image) { images_[static_cast<std::size_t>(id)] = std::move(image); }

private:
    std::array<QImage, 4> images_;
};

} // namespace velmora
