// SPDX-License-Identifier: MIT
#pragma once

#include "model/control_record.h"
#include "model/form_model.h"
#include "model/status.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace velmora {

// The events a kind of control raises, in the kind's fixed order; an event table has one entry
// for each. The form raises its own list.
std::span<const std::string_view> eventNames(ControlKind kind);
std::span<const std::string_view> formEventNames();

// What an event hands its handler: for a drop, the dragged control and the drop point in the
// target's twips; for a click, nothing.
struct EventArgs {
    Control* source = nullptr;
    float x = 0.0f;
    float y = 0.0f;
};

using EventHandler = Status (*)(FormModel& form, const EventArgs& args);

/*
 * One control's (or the form's) event table: the event-sink entry points the runtime goes
 * through first, then one entry per event of the kind, each empty or naming a handler.
 * The runtime asks the table for the event interface it knows, holds a reference on it for the
 * length of the call, and calls the entry.
 */
struct EventTable {
    std::string_view owner;     // control name, or the form's
    std::string_view interface; // the event interface the table answers to
    Status (*queryInterface)(EventTable& table, std::string_view interfaceName, EventTable** out);
    std::uint32_t (*addRef)(EventTable& table);
    std::uint32_t (*release)(EventTable& table);
    std::vector<EventHandler> entries;
    std::uint32_t references = 0;
};

// The standard sink entry points every table starts with.
Status sinkQueryInterface(EventTable& table, std::string_view interfaceName, EventTable** out);
std::uint32_t sinkAddRef(EventTable& table);
std::uint32_t sinkRelease(EventTable& table);

// An empty table for a control of `kind` named `owner` (or for the form when `kind` is empty).
EventTable emptyEventTable(std::string_view owner, std::optional<ControlKind> kind);

// Place of `event` in the table's list, or nothing when the kind has no such event.
std::optional<std::size_t> eventIndex(std::optional<ControlKind> kind, std::string_view event);

/*
 * Raises the event in slot `index` of `table`: goes through the sink entries and calls the
 * handler the table names there. Returns nothing when the slot is empty or beyond the table (the
 * event is simply over) or the sink refuses the call; the handler's status otherwise.
 */
std::optional<Status> raiseEvent(FormModel& form, EventTable& table, std::size_t index, const EventArgs& args);

} // namespace velmora
