// SPDX-License-Identifier: MIT
#include "ui/speech_output.h"

#include "language/language.h"

#include <libspeechd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

namespace velmora {
namespace {

// Whether the speech service's current synthesizer has a voice for the lesson's language `code`
// (voiceFor()). A synthesizer that lists no voices is taken at its word that it speaks what it is
// asked to.
bool hasVoiceFor(SPDConnection* connection, std::string_view code) {
    SPDVoice** voices = spd_list_synthesis_voices(connection);
    if (voices == nullptr) return true;
    std::vector<std::string> tags;
    for (SPDVoice** voice = voices; *voice != nullptr; ++voice)
        tags.emplace_back((*voice)->language != nullptr ? (*voice)->language : "");
    free_spd_voices(voices);
    return voiceFor(tags, code).has_value();
}

/*
 * speech-dispatcher's client library, used directly: it starts the user's service if none runs,
 * and the only setting given is the language, so the user's synthesizer, voice and rate apply.
 * Each sentence goes as text, which a newer text of this program's cuts off. A service that
 * goes away is reached once more; then the voice is silent.
 */
class SpeechDispatcher final : public SpeechOutput {
public:
    explicit SpeechDispatcher(std::string_view languageCode) : language_(languageCode) {
        std::replace(language_.begin(), language_.end(), '_', '-');
    }
    ~SpeechDispatcher() override {
        if (connection_ != nullptr) spd_close(connection_);
    }
    SpeechDispatcher(const SpeechDispatcher&) = delete;
    SpeechDispatcher& operator=(const SpeechDispatcher&) = delete;

    bool available() override {
        if (!started_) start();
        return usable_;
    }

    void say(const QString& text) override {
        if (!available()) return;
        spd_cancel(connection_);
        if (spd_say(connection_, SPD_TEXT, text.toUtf8().constData()) >= 0 || reopened_) return;
        // The service went away (ended, or restarted): one new connection, which starts it
        // again if it can; after that the voice stays silent.
        reopened_ = true;
        spd_close(connection_);
        connection_ = nullptr;
        usable_ = false;
        start();
        if (usable_) spd_say(connection_, SPD_TEXT, text.toUtf8().constData());
    }

    void stop() override {
        if (usable_) spd_cancel(connection_);
    }

private:
    void start() {
        started_ = true;
        // Writing to a service that has gone away must fail the call, not end the program
        // (Qt's own sockets never raise the signal, so nothing else changes).
        std::signal(SIGPIPE, SIG_IGN);
        char* error = nullptr;
        connection_ = spd_open2("velmora", "lesson", nullptr, SPD_MODE_SINGLE, nullptr, 1, &error);
        std::free(error);
        if (connection_ == nullptr) return;
        usable_ = spd_set_language(connection_, language_.c_str()) == 0 && hasVoiceFor(connection_, language_);
    }

    std::string language_;
    SPDConnection* connection_ = nullptr;
    bool started_ = false;
    bool usable_ = false;
    bool reopened_ = false;
};

} // namespace

std::unique_ptr<SpeechOutput> platformSpeech(std::string_view languageCode) {
    return std::make_unique<SpeechDispatcher>(languageCode);
}

} // namespace velmora
