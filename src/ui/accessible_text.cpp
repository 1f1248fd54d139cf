#include "ui/accessible_text.h"

namespace velmora {

AccessibleText accessibleTextFor(std::string_view control) {
    if (control == "Picture1")
        return {QStringLiteral("Enzyme"),
                QStringLiteral("The enzyme: a black block with a notch in its top edge, the active site where the "
                               "substrate fits.")};
    if (control == "Picture2")
        return {QStringLiteral("Substrate"),
                QStringLiteral("The substrate: a red block with a tab that fits the enzyme's notch. Drag it onto the "
                               "enzyme with the mouse, or press Space to pick it up, move it with the arrow keys "
                               "and press Space again to drop it.")};
    if (control == "Picture3")
        return {QStringLiteral("Products"),
                QStringLiteral("The products: two red pieces that the enzyme has released.")};
    if (control == "Picture4")
        return {QStringLiteral("Enzyme\u2013substrate complex"),
                QStringLiteral("The enzyme\u2013substrate complex: the substrate seated in the enzyme's notch. Click "
                               "it, or press Space, to release the products.")};
    if (control == "Command1")
        return {QStringLiteral("Reset"), QStringLiteral("Starts the lesson again.")};
    if (control == "Label1") return {QStringLiteral("Tessivar"), QString()};
    return {};
}

QString stageDescription(Stage stage) {
    switch (stage) {
    case Stage::Apart:
        return QStringLiteral("The enzyme and the substrate are apart. Move the substrate onto the enzyme.");
    case Stage::Bound:
        return QStringLiteral("The substrate is bound to the enzyme: this is the enzyme\u2013substrate complex. "
                              "Activate the complex to release the products.");
    case Stage::Released:
        return QStringLiteral("The products are released and the enzyme is unchanged, ready for another "
                              "substrate. Press Reset to start again.");
    case Stage::Other:
        break;
    }
    return QStringLiteral("The lesson is between two stages.");
}

} // namespace velmora
