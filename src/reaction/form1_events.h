// SPDX-License-Identifier: MIT
#pragma once

#include "model/form_model.h"
#include "runtime/event_sink.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace velmora {

// The events the lesson session raises on Form1 for a presentation's inputs. Each names one slot
// in the table of every kind that has that event, so a misspelt event cannot compile.
enum class FormEvent : std::uint8_t {
    Click,
    DragDrop,
};

// The event's name in the kinds' event lists.
std::string_view eventName(FormEvent event);

/*
 * Form1's event tables: one for the form and one for each control, with only three entries
 * filled (Command1 Click, Picture1 DragDrop, Picture4 Click). The lesson session raises
 * every event through here; events with an empty entry are simply over.
 */
class Form1Events final {
public:
    explicit Form1Events(const FormModel& form);

    // Raises `event` on the control named `control` (empty name: the form itself). Returns the
    // handler's status, or nothing when no handler is named for it (or there is no such control
    // or event).
    std::optional<Status> raise(FormModel& form, std::string_view control, FormEvent event, const EventArgs& args = {});
    // The same for an event given by its name in the kind's list. The session raises only the
    // typed events above; this reaches every other entry of the tables (17 and 26 events a kind),
    // as the storm and the fault sweep do to show that an empty entry is simply over.
    std::optional<Status> raise(FormModel& form, std::string_view control, std::string_view event,
                                const EventArgs& args = {});

    // Whether a handler is named for `event` of the named control.
    bool handles(std::string_view control, FormEvent event) const;

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
