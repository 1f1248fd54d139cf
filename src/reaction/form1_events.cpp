// SPDX-License-Identifier: MIT
#include "reaction/form1_events.h"

#include "reaction/handlers.h"

namespace velmora {
namespace {

Status onResetClick(FormModel& form, const EventArgs&) { return Command1_Click(form); }
Status onComplexClick(FormModel& form, const EventArgs&) { return Picture4_Click(form); }
Status onEnzymeDragDrop(FormModel& form, const EventArgs& args) {
    if (args.source == nullptr) return kStatusOk; // a drop always has a source; nothing to act on
    return Picture1_DragDrop(form, *args.source, args.x, args.y);
}

void fill(EventTable& table, ControlKind kind, FormEvent event, EventHandler handler) {
    table.entries.at(*eventIndex(kind, eventName(event))) = handler;
}

} // namespace

std::string_view eventName(FormEvent event) {
    switch (event) {
    case FormEvent::Click: return "Click";
    case FormEvent::DragDrop: return "DragDrop";
    }
    return {};
}

Form1Events::Form1Events(const FormModel& form) {
    entries_.push_back({std::nullopt, emptyEventTable(form.description().name, std::nullopt)});
    for (const Control& control : form.controls())
        entries_.push_back({control.kind(), emptyEventTable(control.name(), control.kind())});
    fill(find("Command1")->table, ControlKind::PushButton, FormEvent::Click, onResetClick);
    fill(find("Picture1")->table, ControlKind::PictureArea, FormEvent::DragDrop, onEnzymeDragDrop);
    fill(find("Picture4")->table, ControlKind::PictureArea, FormEvent::Click, onComplexClick);
}

Form1Events::Entry* Form1Events::find(std::string_view control) {
    if (control.empty()) return &entries_.front();
    for (Entry& entry : entries_)
        if (entry.kind && entry.table.owner == control) return &entry;
    return nullptr;
}

const EventTable* Form1Events::table(std::string_view control) const {
    Entry* entry = const_cast<Form1Events*>(this)->find(control);
    return entry ? &entry->table : nullptr;
}

bool Form1Events::handles(std::string_view control, FormEvent event) const {
    const Entry* entry = const_cast<Form1Events*>(this)->find(control);
    if (entry == nullptr) return false;
    const auto index = eventIndex(entry->kind, eventName(event));
    return index && entry->table.entries[*index] != nullptr;
}

std::optional<Status> Form1Events::raise(FormModel& form, std::string_view control, FormEvent event,
                                         const EventArgs& args) {
    return raise(form, control, eventName(event), args);
}

std::optional<Status> Form1Events::raise(FormModel& form, std::string_view control, std::string_view event,
                                         const EventArgs& args) {
    Entry* entry = find(control);
    if (entry == nullptr) return std::nullopt;
    const auto index = eventIndex(entry->kind, event);
    if (!index) return std::nullopt;
    return raiseEvent(form, entry->table, *index, args);
}

} // namespace velmora
