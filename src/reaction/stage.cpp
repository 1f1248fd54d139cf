// SPDX-License-Identifier: MIT
#include "reaction/stage.h"

namespace velmora {

Stage stageOf(const FormModel& form) {
    const auto shown = [&](const char* name) { return form.find(name)->visible(); };
    const bool enzyme = shown("Picture1"), substrate = shown("Picture2"), products = shown("Picture3"),
               complex = shown("Picture4");
    if (enzyme && substrate && !products && !complex) return Stage::Apart;
    if (!enzyme && !substrate && !products && complex) return Stage::Bound;
    if (enzyme && !substrate && products && !complex) return Stage::Released;
    return Stage::Other;
}

} // namespace velmora
