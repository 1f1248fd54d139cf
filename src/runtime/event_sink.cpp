// SPDX-License-Identifier: MIT
#include "runtime/event_sink.h"

#include <algorithm>
#include <array>
#include <string>

namespace velmora {
namespace {

// Each kind's events in its event order, laid out by hand.
// clang-format off
constexpr std::array<std::string_view, 26> kPictureAreaEvents{
    "Change", "Click", "DblClick", "DragDrop", "DragOver", "GotFocus", "KeyDown", "KeyPress", "KeyUp",
    "LinkClose", "LinkError", "LinkNotify", "LinkOpen", "LostFocus", "MouseDown", "MouseMove", "MouseUp",
    "OLECompleteDrag", "OLEDragDrop", "OLEDragOver", "OLEGiveFeedback", "OLESetData", "OLEStartDrag",
    "Paint", "Resize", "Validate"};

constexpr std::array<std::string_view, 17> kPushButtonEvents{
    "Click", "DragDrop", "DragOver", "GotFocus", "KeyDown", "KeyPress", "KeyUp", "LostFocus", "MouseDown",
    "MouseMove", "MouseUp", "OLECompleteDrag", "OLEDragDrop", "OLEDragOver", "OLEGiveFeedback",
    "OLESetData", "OLEStartDrag"};

constexpr std::array<std::string_view, 18> kLabelEvents{
    "Change", "Click", "DblClick", "DragDrop", "DragOver", "LinkClose", "LinkError", "LinkNotify",
    "LinkOpen", "MouseDown", "MouseMove", "MouseUp", "OLECompleteDrag", "OLEDragDrop", "OLEDragOver",
    "OLEGiveFeedback", "OLESetData", "OLEStartDrag"};

constexpr std::array<std::string_view, 31> kFormEvents{
    "Activate", "Click", "DblClick", "Deactivate", "DragDrop", "DragOver", "GotFocus", "Initialize",
    "KeyDown", "KeyPress", "KeyUp", "LinkClose", "LinkError", "LinkExecute", "LinkOpen", "Load",
    "LostFocus", "MouseDown", "MouseMove", "MouseUp", "OLECompleteDrag", "OLEDragDrop", "OLEDragOver",
    "OLEGiveFeedback", "OLESetData", "OLEStartDrag", "Paint", "QueryUnload", "Resize", "Terminate",
    "Unload"};
// clang-format on

std::span<const std::string_view> namesFor(std::optional<ControlKind> kind) {
    return kind ? eventNames(*kind) : formEventNames();
}

std::string_view interfaceFor(std::optional<ControlKind> kind) {
    if (!kind) return "FormEvents";
    switch (*kind) {
    case ControlKind::PictureArea: return "PictureAreaEvents";
    case ControlKind::Label: return "LabelEvents";
    case ControlKind::PushButton: return "PushButtonEvents";
    }
    return "";
}

constexpr Status kNoInterface = static_cast<Status>(0x80004002u);

} // namespace

std::span<const std::string_view> eventNames(ControlKind kind) {
    switch (kind) {
    case ControlKind::PictureArea: return kPictureAreaEvents;
    case ControlKind::Label: return kLabelEvents;
    case ControlKind::PushButton: return kPushButtonEvents;
    }
    return {};
}

std::span<const std::string_view> formEventNames() { return kFormEvents; }

Status sinkQueryInterface(EventTable& table, std::string_view interfaceName, EventTable** out) {
    if (interfaceName != table.interface && interfaceName != "IUnknown") {
        *out = nullptr;
        return kNoInterface;
    }
    *out = &table;
    table.addRef(table);
    return kStatusOk;
}

std::uint32_t sinkAddRef(EventTable& table) { return ++table.references; }
std::uint32_t sinkRelease(EventTable& table) { return --table.references; }

EventTable emptyEventTable(std::string_view owner, std::optional<ControlKind> kind) {
    return EventTable{.owner = owner,
                      .interface = interfaceFor(kind),
                      .queryInterface = sinkQueryInterface,
                      .addRef = sinkAddRef,
                      .release = sinkRelease,
                      .entries = std::vector<EventHandler>(namesFor(kind).size(), nullptr),
                      .references = 0};
}

std::optional<std::size_t> eventIndex(std::optional<ControlKind> kind, std::string_view event) {
    const auto names = namesFor(kind);
    const auto it = std::find(names.begin(), names.end(), event);
    if (it == names.end()) return std::nullopt;
    return static_cast<std::size_t>(it - names.begin());
}

std::optional<Status> raiseEvent(FormModel& form, EventTable& table, std::size_t index, const EventArgs& args) {
    if (index >= table.entries.size() || table.entries[index] == nullptr) return std::nullopt;
    EventTable* sink = nullptr;
    if (failed(table.queryInterface(table, table.interface, &sink)) || sink == nullptr) return std::nullopt;
    struct Hold {
        EventTable* sink;
        ~Hold() { sink->release(*sink); }
    } hold{sink};
    return sink->entries[index](form, args);
}

} // namespace velmora
