// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <memory>
#include <string_view>

namespace velmora {

/*
 * Where the program's own voice goes. available() says whether there is a voice for the lesson's
 * language (the first call may start the speech service); say() cuts off whatever is still being
 * spoken and speaks `text`, or does nothing where no voice is available; stop() falls silent.
 * Nothing here throws.
 */
class SpeechOutput {
public:
    virtual ~SpeechOutput() = default;
    virtual bool available() = 0;
    virtual void say(const QString& text) = 0;
    virtual void stop() = 0;
};

// The desktop's speech service, speech-dispatcher (the one screen readers speak through, so the
// user's synthesizer, voice and rate apply), speaking the language with the code `languageCode`.
// The service is reached on the first call, not before; with no service, or no voice for the
// language, nothing is available.
std::unique_ptr<SpeechOutput> platformSpeech(std::string_view languageCode);

} // namespace velmora
