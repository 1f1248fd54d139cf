// SPDX-License-Identifier: MIT
#pragma once

#include "model/form_model.h"

namespace velmora {

// The injected failure of the test build of Velmora.exe: the substrate cannot be shown again, so
// a Reset after the binding fails at its second step.
inline Status refuseShowingTheSubstrate(const Control& control) {
    return control.name() == "Picture2" && control.visible() ? kStatusFail : kStatusOk;
}

} // namespace velmora
