// SPDX-License-Identifier: MIT
#pragma once

namespace velmora {

/*
 * Counts the temporaries that handlers hold right now: control references taken with objSet
 * and variants filled by lateGet or set for lateSet. It returns to zero whenever no handler runs,
 * which is how a leaked temporary shows. The program has one thread, so a plain counter serves.
 */
class Temporaries final {
public:
    static int live() noexcept { return live_; }
    static void acquired() noexcept { ++live_; }
    static void released() noexcept { --live_; }

private:
    static inline int live_ = 0;
};

} // namespace velmora
