// SPDX-License-Identifier: MIT
#include "model/form_description.h"

namespace velmora {
namespace {

FontSpec comicSans(std::int32_t sizeTenThousandths) {
    return FontSpec{.family = "Comic Sans MS", .sizeTenThousandths = sizeTenThousandths, .weight = 400};
}

FormDescription buildForm1() {
    FormDescription form{
        .name = "Form1",
        .caption = "Tessivar",
        .backColor = systemColor(SystemColor::MenuText),
        .clientWidth = 9945,
        .clientHeight = 7650,
        .designLeft = 60,
        .designTop = 450,
        .startPosition = StartPosition::SystemDefault,
        .linkTopic = "Form1",
        .resizable = true,
        .controls = {},
    };
    // One control per entry, its properties laid out by hand.
    // clang-format off
    form.controls = {
        ControlRecord{.name = "Command1", .kind = ControlKind::PushButton, .index = 6,
                      .left = 7680, .top = 1080, .width = 1215, .height = 495, .tabIndex = 5,
                      .caption = "Reset", .font = comicSans(142500)},
        ControlRecord{.name = "Picture4", .kind = ControlKind::PictureArea, .index = 5,
                      .left = 3240, .top = 4080, .width = 3855, .height = 3495, .visible = false,
                      .tabIndex = 4, .picture = PictureId::Complex},
        ControlRecord{.name = "Picture3", .kind = ControlKind::PictureArea, .index = 4,
                      .left = 2760, .top = 720, .width = 3615, .height = 3255, .visible = false,
                      .tabIndex = 3, .picture = PictureId::Products},
        ControlRecord{.name = "Picture2", .kind = ControlKind::PictureArea, .index = 3,
                      .left = 2880, .top = 960, .width = 3135, .height = 3015, .tabIndex = 2,
                      .tag = u"substrate", .backColor = systemColor(SystemColor::ButtonHighlight),
                      .picture = PictureId::Substrate, .autoDrag = true},
        ControlRecord{.name = "Picture1", .kind = ControlKind::PictureArea, .index = 2,
                      .left = 3000, .top = 4080, .width = 4095, .height = 3495, .tabIndex = 1,
                      .picture = PictureId::Enzyme},
        ControlRecord{.name = "Label1", .kind = ControlKind::Label, .index = 1,
                      .left = 2880, .top = 0, .width = 4215, .height = 495, .tabIndex = 0,
                      .caption = "Tessivar", .backColor = systemColor(SystemColor::ButtonText),
                      .foreColor = systemColor(SystemColor::HighlightText),
                      .font = comicSans(157500)},
    };
    // clang-format on
    return form;
}

} // namespace

const FormDescription& form1Description() {
    static const FormDescription form = buildForm1();
    return form;
}

} // namespace velmora
