#pragma once

#include "model/form_model.h"
#include "runtime/event_sink.h"

#include <optional>
#include <string_view>
#include <vector>

namespace velmora {

/*
 * Form1's event tables: one for the form and one for each control, with only three entries
 * filled (Command1 Click, Picture1 DragDrop, Picture4 Click). The presentation raises every
 * event it sees through here; events with an empty entry are simply over.
 */
class Form1Events final {
public:
    explicit Form1Events(const FormModel& form);

    // Raises `event` on the control named `control` (empty name: the form itself). Returns the
    // handler's status, or nothing when no handler is named for it (or there is no such control
    // or event).
    std::optional<Status> raise(FormModel& form, std::string_view control, std::string_view event,
                                const EventArgs& args = {});

    // Whether a handler is named for `event` of the named control.
    bool handles(std::string_view control, std::string_view event) const;

    // The table of the named control, or of the form for an empty name; nullptr when unknown.
    const EventTable* table(std::string_view control) const;

private:
    struct Entry {
        std::optional<ControlKind> kind;
        EventTable table;
    };
    Entry* find(std::string_view control);
    std::vector<Entry> entries_;
};

} // namespace velmora
