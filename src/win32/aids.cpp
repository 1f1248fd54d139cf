// SPDX-License-Identifier: MIT
// Windows' own speech and sound for the program's voice and cues: SAPI through COM, PlaySound of
// winmm.dll. Neither is imported: a pupil who never switches them on never loads them.
#include "win32/aids.h"

#include "sound/cue_sound.h"
#include "win32/win32_support.h"

#include <sapi.h>

#undef interface

#include <array>
#include <cstdint>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace velmora::win32 {
namespace {

/*
 * One COM reference, released when it goes; empty until put() is filled by a call that returns
 * one. Never throws.
 */
template <class T>
class Com final {
public:
    Com() = default;
    ~Com() { reset(); }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** put() {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (p_ != nullptr) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

} // namespace

std::vector<std::string> voiceLanguages(const wchar_t* languages) {
    std::vector<std::string> tags;
    for (const wchar_t* at = languages; *at != L'\0';) {
        wchar_t* end = nullptr;
        const auto lcid = static_cast<LCID>(std::wcstoul(at, &end, 16));
        if (end == at) break;
        wchar_t name[LOCALE_NAME_MAX_LENGTH];
        if (LCIDToLocaleName(lcid, name, LOCALE_NAME_MAX_LENGTH, 0) > 0) tags.push_back(narrow(name));
        at = *end == L';' ? end + 1 : end;
    }
    return tags;
}

namespace {

// The languages one voice token names (voiceLanguages()); none for a voice that names none.
std::vector<std::string> tokenLanguages(ISpObjectToken* token) {
    Com<ISpDataKey> attributes;
    if (FAILED(token->OpenKey(L"Attributes", attributes.put())) || !attributes) return {};
    wchar_t* languages = nullptr;
    if (FAILED(attributes->GetStringValue(L"Language", &languages)) || languages == nullptr) return {};
    std::vector<std::string> tags = voiceLanguages(languages);
    CoTaskMemFree(languages);
    return tags;
}

// The installed voice the lesson's language chooses (voiceFor(), among every language of every
// voice in SAPI's order), or none. Every voice is asked itself: not every SAPI filters EnumTokens
// by attribute.
void findVoice(const Language& lesson, Com<ISpObjectToken>& out) {
    Com<ISpObjectTokenCategory> category;
    Com<IEnumSpObjectTokens> tokens;
    if (FAILED(CoCreateInstance(CLSID_SpObjectTokenCategory, nullptr, CLSCTX_INPROC_SERVER, IID_ISpObjectTokenCategory,
                                category.putVoid())) ||
        FAILED(category->SetId(SPCAT_VOICES, FALSE)) || FAILED(category->EnumTokens(nullptr, nullptr, tokens.put())) ||
        !tokens)
        return;
    std::vector<std::string> languages;
    std::vector<ULONG> voiceOf; // the token each of `languages` belongs to
    for (ULONG index = 0;; ++index) {
        Com<ISpObjectToken> token;
        if (tokens->Next(1, token.put(), nullptr) != S_OK || !token) break;
        for (std::string& tag : tokenLanguages(token.get())) {
            languages.push_back(std::move(tag));
            voiceOf.push_back(index);
        }
    }
    if (const auto chosen = voiceFor(languages, lesson.code())) (void)tokens->Item(voiceOf[*chosen], out.put());
}

/*
 * The program's voice through SAPI: an ISpVoice set to the installed voice that fits the lesson's
 * language best. Where SAPI, or such a voice, or setting it fails, it has no voice and says
 * nothing: it never speaks the lesson in another language's voice. Never throws.
 */
class SapiSpeaker final : public Speaker {
public:
    explicit SapiSpeaker(const Language& language) {
        if (FAILED(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_INPROC_SERVER, IID_ISpVoice, voice_.putVoid())))
            return;
        Com<ISpObjectToken> token;
        findVoice(language, token);
        hasVoice_ = token && SUCCEEDED(voice_->SetVoice(token.get()));
    }

    bool hasVoice() const override { return hasVoice_; }

    void speak(std::string_view utf8) override {
        if (!hasVoice_) return;
        const std::wstring text = widen(utf8);
        (void)voice_->Speak(text.c_str(), SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_NOT_XML, nullptr);
    }

    void silence() override {
        if (hasVoice_) (void)voice_->Speak(nullptr, SPF_ASYNC | SPF_PURGEBEFORESPEAK, nullptr);
    }

private:
    Com<ISpVoice> voice_;
    bool hasVoice_ = false;
};

/*
 * The cues through PlaySound: all six made as WAVE files in memory when it is made and kept until
 * it goes, as PlaySound reads a sound's memory while it plays. Silent where winmm.dll or a sound
 * device is missing. Never throws but for memory.
 */
class SystemCuePlayer final : public CuePlayer {
public:
    SystemCuePlayer()
        : winmm_(systemLibrary(L"winmm.dll")), playSound_(systemFunction<PlaySoundFn>(winmm_, "PlaySoundW")) {
        for (const Cue cue : kAllCues) waves_[static_cast<std::size_t>(cue)] = cueWave(cue);
    }
    ~SystemCuePlayer() override {
        // The sound still playing reads its buffer: it is stopped before the buffers go.
        if (playSound_ != nullptr) playSound_(nullptr, nullptr, 0);
        if (winmm_ != nullptr) FreeLibrary(winmm_);
    }
    SystemCuePlayer(const SystemCuePlayer&) = delete;
    SystemCuePlayer& operator=(const SystemCuePlayer&) = delete;

    void play(Cue cue) override {
        if (playSound_ == nullptr) return;
        const auto& wave = waves_[static_cast<std::size_t>(cue)];
        (void)playSound_(reinterpret_cast<LPCWSTR>(wave.data()), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
    }

private:
    using PlaySoundFn = decltype(&PlaySoundW);

    HMODULE winmm_;
    PlaySoundFn playSound_;
    std::array<std::vector<std::uint8_t>, std::size(kAllCues)> waves_;
};

} // namespace

AidPlatform systemAids() {
    return {
        [](const Language& language) -> std::unique_ptr<Speaker> { return std::make_unique<SapiSpeaker>(language); },
        []() -> std::unique_ptr<CuePlayer> { return std::make_unique<SystemCuePlayer>(); }};
}

} // namespace velmora::win32
