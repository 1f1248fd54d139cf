// SPDX-License-Identifier: MIT
#pragma once

#include "language/message_catalogue.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The language the lesson's texts are written in, and the one it falls back to.
inline constexpr std::string_view kEnglish = "en";

// Every language the lesson speaks, by its catalogue's code: English first, then one for each
// translation compiled in, in the order of po/LINGUAS ("ar", "de", ...).
std::vector<std::string_view> lessonLanguages();

// The locale settings of a desktop session, as the environment gives them (empty when unset).
struct LocaleSettings {
    std::string_view language;   // LANGUAGE: a list of languages separated by ':'
    std::string_view lcAll;      // LC_ALL
    std::string_view lcMessages; // LC_MESSAGES
    std::string_view lang;       // LANG
};

// The language those settings ask for, read as gettext reads them: the locale is the first set
// of LC_ALL, LC_MESSAGES and LANG; in the "C" or "POSIX" locale (or none) the texts stay English;
// otherwise the first language of LANGUAGE that the lesson speaks, or, when LANGUAGE is unset,
// the locale's own. A code of lessonLanguages(); English when none is spoken.
std::string_view languageForLocale(const LocaleSettings& settings);
// The same for this process's environment.
std::string_view languageForEnvironment();

// The first of `tags` (BCP 47 language tags such as "de-AT" or "pt-BR", in order of preference:
// a browser's languages, the user's languages on Windows) that the lesson speaks. A tag matches
// a catalogue of its language and region, else one of its language alone, else the one
// catalogue of its language there is ("pt-PT" gets "pt_BR"). English when none matches.
std::string_view languageForTags(std::span<const std::string> tags);
// The same among `codes` (English is always one): a page that carries each catalogue apart from
// the program names the languages it has; the code returned is one of `codes`, or English.
std::string_view languageForTags(std::span<const std::string> tags, std::span<const std::string_view> codes);

// Every tag that languageForTags() matches by itself, in lower case with '-' between subtags:
// each language's tag ("pt-br"), its language alone ("pt") and the C locale's names ("c",
// "posix", which are English). Any other tag it matches is one of these languages with subtags
// added ("de-at"), and gets what that language alone gets. A page that must choose before the
// lesson runs can look a tag up among these, and then its first subtag.
std::vector<std::string> languageTagsMatched();

/*
 * One language the lesson speaks: its catalogue's code and its translations. A value: each
 * session, page or tool holds the language it speaks and hands it to whatever gives words, so
 * two lessons side by side can speak two languages. Copies share the (read-only) catalogue.
 *
 * The default is English, the texts as written. Made from a code of lessonLanguages() it is that
 * language; an unknown code, or a catalogue that cannot be read, gives English (code() says
 * which). Made from a code and the bytes of its compiled catalogue (a GNU .mo file, copied), it
 * is that language, or English when the bytes are not such a catalogue. Nothing here throws.
 */
class Language final {
public:
    Language() = default;
    explicit Language(std::string_view code);
    Language(std::string_view code, std::span<const std::uint8_t> catalogue);

    std::string_view code() const { return code_; }

    // `english` in this language: its translation, or `english` itself where there is none.
    // `english` must be a string literal (or live as long): what is returned may be it.
    std::string_view tr(std::string_view english) const { return tr({}, english); }
    // The same for a text under a context, which tells apart equal English words of different use.
    std::string_view tr(std::string_view context, std::string_view english) const;

private:
    std::string code_{kEnglish};
    std::shared_ptr<const MessageCatalogue> catalogue_; // none for English
};

// Which of the voices that speak `voiceTags` (one tag or locale name each, "de-AT" or "de_AT", in
// the platform's order) speaks a lesson in `code`: the first of its language and region, else the
// first of its language; the platform's default voice `preferred` goes first among equals. A lesson
// with no region ("de") has no voice of its own region, so any voice of its language does. Nothing
// when no voice speaks the language: the lesson is not read out in a voice of another.
std::optional<std::size_t> voiceFor(std::span<const std::string> voiceTags, std::string_view code,
                                    std::optional<std::size_t> preferred = std::nullopt);

// The BCP 47 tag of a language's code, as HTML's lang attribute takes it: "pt_BR" is "pt-BR".
std::string languageTag(std::string_view code);

// Whether the language of `code` is written right to left (Arabic, Hebrew, Persian, Urdu, ...).
// Only texts follow it: the form keeps its layout in every language.
bool rightToLeft(std::string_view code);

// `pattern` (a translated text) with its one "%s" replaced by `value`.
std::string withValue(std::string_view pattern, std::string_view value);

} // namespace velmora
