// SPDX-License-Identifier: MIT
#include "model/form_model.h"

#include <cassert>
#include <numeric>
#include <stdexcept>

namespace velmora {

PictureArea::PictureArea(Control& control) : control_(&control) { assert(control.kind() == ControlKind::PictureArea); }

Status PictureArea::setVisible(VbBool visible) const {
    return control_->form_->changeVisible(*control_, visible != kVbFalse);
}

FormModel::FormModel(const FormDescription& description) : description_(description) {
    controls_.reserve(description_.controls.size());
    for (const ControlRecord& record : description_.controls) {
        if (find(record.name) != nullptr)
            throw std::invalid_argument("form " + description_.name + " has two controls named " + record.name);
        controls_.push_back(Control(*this, record));
    }
    picture1_ = &require("Picture1", ControlKind::PictureArea);
    picture2_ = &require("Picture2", ControlKind::PictureArea);
    picture3_ = &require("Picture3", ControlKind::PictureArea);
    picture4_ = &require("Picture4", ControlKind::PictureArea);
    label1_ = &require("Label1", ControlKind::Label);
    command1_ = &require("Command1", ControlKind::PushButton);
}

Control& FormModel::require(std::string_view name, ControlKind kind) {
    Control* control = find(name);
    if (control == nullptr)
        throw std::invalid_argument("form " + description_.name + " has no control named " + std::string(name));
    if (control->kind() != kind)
        throw std::invalid_argument("control " + std::string(name) + " is a " + std::string(kindName(control->kind())) +
                                    ", expected a " + std::string(kindName(kind)));
    return *control;
}

Control* FormModel::find(std::string_view name) {
    for (Control& control : controls_)
        if (control.name() == name) return &control;
    return nullptr;
}

const Control* FormModel::find(std::string_view name) const { return const_cast<FormModel*>(this)->find(name); }

int FormModel::liveReferences() const {
    return std::accumulate(controls_.begin(), controls_.end(), 0,
                           [](int sum, const Control& c) { return sum + c.references(); });
}

Status FormModel::changeVisible(Control& control, bool visible) {
    if (control.record_.visible == visible) return kStatusOk;
    control.record_.visible = visible;
    if (!listener_) return kStatusOk;
    Status status = kStatusFail;
    try {
        status = listener_(control);
    } catch (...) {
        status = kStatusFail;
    }
    // The presentation could not follow: keep the flag at what is on the screen.
    if (failed(status)) control.record_.visible = !visible;
    return status;
}

} // namespace velmora
