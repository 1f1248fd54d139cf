// SPDX-License-Identifier: MIT
#include "reaction/feedback.h"

namespace velmora {

std::optional<Aid> aidPresetBy(std::string_view word) {
    if (word == "--voice") return Aid::Voice;
    if (word == "--sound") return Aid::Sound;
    return std::nullopt;
}

Feedback::Feedback(bool voicePreset, bool soundPreset)
    : voice_(voicePreset ? Choice::Preset : Choice::Off), sound_(soundPreset) {}

bool Feedback::on(Aid aid) const {
    if (aid == Aid::Sound) return sound_;
    return voice_ == Choice::Switched || (voice_ == Choice::Preset && !screenReader_);
}

void Feedback::toggle(Aid aid) {
    if (aid == Aid::Sound) {
        sound_ = !sound_;
        return;
    }
    voice_ = on(Aid::Voice) ? Choice::Off : Choice::Switched;
}

} // namespace velmora
