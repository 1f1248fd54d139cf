// SPDX-License-Identifier: MIT
#pragma once

#include "model/form_model.h"
#include "model/status.h"

namespace velmora {

/*
 * The program's own behaviour: three event handlers that switch Form1's four picture areas on
 * and off. Each sets absolute values for the flags it touches and leaves the others as they are,
 * so from every state in which the pupil can call it (Reset from any stage, the drop from the
 * start, the release from the complex) it gives one result; none keeps state between calls.
 * A failing step raises a run-time error that goes to the installed error reporter (the handler
 * then returns its failure status); the steps before it stay done and the rest do not run. Temporaries are released on
 * every path.
 */

// "Reset" clicked: show the enzyme and the substrate, hide the products and the complex.
Status Command1_Click(FormModel& form);

// A drag ended over the enzyme. When `source`'s Tag is exactly "substrate", hides the source
// (whatever control it is), hides the enzyme and shows the complex; otherwise changes nothing.
// `x` and `y` are the drop point in Picture1's twips and are not used.
Status Picture1_DragDrop(FormModel& form, Control& source, float x, float y);

// The complex clicked: hide it, show the products, show the enzyme.
Status Picture4_Click(FormModel& form);

} // namespace velmora
