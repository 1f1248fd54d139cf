// SPDX-License-Identifier: MIT
#include "reaction/handlers.h"

#include "runtime/error_handling.h"
#include "runtime/object_temporary.h"
#include "runtime/variant_operations.h"

namespace velmora {
namespace {

// One typed visibility assignment: take the control into a temporary, call its setter, test the
// status at once. The temporary is freed however this returns.
void assignVisible(PictureArea area, VbBool visible) {
    ObjectTemporary temporary;
    objSet(temporary, area);
    checkStatus(temporary->setVisible(visible), temporary->control(), kPictureAreaInterface, kVisibleSetter);
    freeObj(temporary);
}

} // namespace

Status Command1_Click(FormModel& form) {
    return exceptHandler([&] {
        assignVisible(form.Picture1(), kVbTrue);
        assignVisible(form.Picture2(), kVbTrue);
        assignVisible(form.Picture3(), kVbFalse);
        assignVisible(form.Picture4(), kVbFalse);
    });
}

Status Picture1_DragDrop(FormModel& form, Control& source, float /*x*/, float /*y*/) {
    return exceptHandler([&] {
        VariantTemporary tag;
        VariantTemporary hidden;
        struct CleanUp {
            VariantTemporary& a;
            VariantTemporary& b;
            ~CleanUp() { freeVarList(a, b); }
        } cleanUp{tag, hidden};

        lateGet(tag, source, kTagName);
        const bool isSubstrate = varTestEq(kSubstrateText, tag.value()) != kVbFalse;
        freeVar(tag);
        if (!isSubstrate) return;

        hidden.set(Variant::boolean(false));
        lateSet(source, kVisibleName, hidden.value());
        assignVisible(form.Picture1(), kVbFalse);
        assignVisible(form.Picture4(), kVbTrue);
    });
}

Status Picture4_Click(FormModel& form) {
    return exceptHandler([&] {
        assignVisible(form.Picture4(), kVbFalse);
        assignVisible(form.Picture3(), kVbTrue);
        assignVisible(form.Picture1(), kVbTrue);
    });
}

} // namespace velmora
