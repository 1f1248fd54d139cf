// SPDX-License-Identifier: MIT
#include "ui/scene_images.h"

#include "assets/picture_words.h"

namespace velmora {

SceneImages SceneImages::load(const Language& language) {
    SceneImages images;
    for (PictureId id : kAllPictures) {
        const ScenePicture picture = lessonPicture(id, language);
        const QImage view(picture.data(), ScenePicture::kWidth, ScenePicture::kHeight, ScenePicture::kBytesPerLine,
                          QImage::Format_RGB888);
        // The view borrows the decoded bytes; converting gives the image its own, in the format
        // the raster engine draws fastest.
        images.setImage(id, view.convertToFormat(QImage::Format_RGB32));
    }
    return images;
}

} // namespace velmora
