// SPDX-License-Identifier: MIT
#pragma once

#include "model/form_model.h"
#include "runtime/temporaries.h"

#include <optional>

namespace velmora {

class ObjectTemporary;
void objSet(ObjectTemporary& temporary, PictureArea area);
void freeObj(ObjectTemporary& temporary) noexcept;

/*
 * A handler's temporary reference to a picture area: objSet stores the control and takes a
 * reference on it, freeObj releases and clears it. Leaving the scope frees it, so no exit path
 * (an error included) can keep a reference.
 */
class ObjectTemporary final {
public:
    ObjectTemporary() = default;
    ObjectTemporary(const ObjectTemporary&) = delete;
    ObjectTemporary& operator=(const ObjectTemporary&) = delete;
    ~ObjectTemporary() { freeObj(*this); }

    // Precondition: holds a control.
    const PictureArea& operator*() const { return *area_; }
    const PictureArea* operator->() const { return &*area_; }
    explicit operator bool() const { return area_.has_value(); }

private:
    friend void objSet(ObjectTemporary&, PictureArea);
    friend void freeObj(ObjectTemporary&) noexcept;
    std::optional<PictureArea> area_;
};

// Stores `area` in the temporary and takes a reference on its control; whatever the temporary
// held before is released first.
inline void objSet(ObjectTemporary& temporary, PictureArea area) {
    freeObj(temporary);
    area.control().addRef();
    temporary.area_ = area;
    Temporaries::acquired();
}

// Releases the temporary's reference and clears it; an empty temporary is left as it is.
inline void freeObj(ObjectTemporary& temporary) noexcept {
    if (!temporary.area_) return;
    temporary.area_->control().release();
    temporary.area_.reset();
    Temporaries::released();
}

} // namespace velmora
