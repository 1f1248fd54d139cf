// SPDX-License-Identifier: MIT
#pragma once

#include "model/control_record.h"
#include "model/form_description.h"
#include "model/status.h"
#include "model/variant.h"

#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace velmora {

class FormModel;

/*
 * One live control of the form: its record, its by-name properties, and a count of the
 * temporary references that handlers hold on it. Controls are created once by their FormModel
 * and live exactly as long as it does.
 */
class Control final {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    Control(Control&&) = default;
    Control& operator=(Control&&) = default;

    const ControlRecord& record() const { return record_; }
    const std::string& name() const { return record_.name; }
    ControlKind kind() const { return record_.kind; }
    bool visible() const { return record_.visible; }

    // Reads a property by name (ASCII, case-insensitive, as the forms runtime matches names).
    // Throws RunTimeError (no such property) when this control's kind has no property of that name.
    Variant property(std::string_view name) const;

    // Sets a property by name. `Visible` goes through the form, so the presentation is told;
    // `Tag` takes text. Every other property is fixed at run time.
    // Throws RunTimeError: no such property, read-only property, a value of the wrong type, or a
    // visibility change that the presentation refused (the flag then keeps its old value).
    void setProperty(std::string_view name, const Variant& value);

    void addRef() noexcept { ++references_; }
    void release() noexcept { --references_; }
    int references() const noexcept { return references_; }

private:
    friend class FormModel;
    friend class PictureArea;
    Control(FormModel& form, ControlRecord record) : form_(&form), record_(std::move(record)) {}

    FormModel* form_;
    ControlRecord record_;
    int references_ = 0;
};

/*
 * The typed interface of a picture-area control, as the form's typed accessors hand it out.
 * A cheap handle: copying it does not copy the control.
 */
class PictureArea final {
public:
    // Precondition: control.kind() == ControlKind::PictureArea.
    explicit PictureArea(Control& control);

    Control& control() const { return *control_; }

    // Sets the visible flag: any non-zero value shows, zero hides. Returns kStatusOk when the flag
    // holds the value and the presentation has been told, which includes a flag that already
    // had it (then nothing is sent). Returns the presentation's failure status, with the flag
    // unchanged, when the presentation could not follow.
    Status setVisible(VbBool visible) const;

private:
    Control* control_;
};

/*
 * Hears every successful visibility change, right after the flag changed. Returning a failure
 * status (or throwing) refuses the change: the flag is put back and the setter fails.
 */
using VisibilityListener = std::function<Status(const Control&)>;

/*
 * The one form and its controls, built from a stored description. After it is built only the
 * controls' visible flags change. Controls refer back to the form, so the model never moves.
 */
class FormModel final {
public:
    // Builds the form. Throws std::invalid_argument when the description lacks one of the six
    // controls the program reaches by name, has one of the wrong kind, or repeats a name.
    explicit FormModel(const FormDescription& description = form1Description());
    FormModel(const FormModel&) = delete;
    FormModel& operator=(const FormModel&) = delete;

    const FormDescription& description() const { return description_; }

    // Controls in stacking order, top first.
    std::span<Control> controls() { return controls_; }
    std::span<const Control> controls() const { return controls_; }

    // The control of that exact name, or nullptr.
    Control* find(std::string_view name);
    const Control* find(std::string_view name) const;

    // Typed accessors for the form's own controls.
    PictureArea Picture1() { return PictureArea(*picture1_); }
    PictureArea Picture2() { return PictureArea(*picture2_); }
    PictureArea Picture3() { return PictureArea(*picture3_); }
    PictureArea Picture4() { return PictureArea(*picture4_); }
    Control& Label1() { return *label1_; }
    Control& Command1() { return *command1_; }

    // Replaces the listener told of visibility changes; an empty one hears nothing.
    void setVisibilityListener(VisibilityListener listener) { listener_ = std::move(listener); }
    const VisibilityListener& visibilityListener() const { return listener_; }

    // Sum of the temporary references held on all controls; zero when no handler holds one.
    int liveReferences() const;

private:
    friend class Control;
    friend class PictureArea;
    Status changeVisible(Control& control, bool visible);
    Control& require(std::string_view name, ControlKind kind);

    FormDescription description_;
    std::vector<Control> controls_;
    VisibilityListener listener_;
    Control* picture1_;
    Control* picture2_;
    Control* picture3_;
    Control* picture4_;
    Control* label1_;
    Control* command1_;
};

} // namespace velmora
