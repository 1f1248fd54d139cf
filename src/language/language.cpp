// SPDX-License-Identifier: MIT
#include "language/language.h"

#include "language/embedded_files.h"

#include <algorithm>
#include <cstdlib>

namespace velmora {
namespace {

bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// A language asked for: the language in lower case and, if given, the region in upper case.
struct Wanted {
    std::string language;
    std::string region;
};

// Reads a locale name ("de_DE.UTF-8@euro") or a BCP 47 tag ("de-DE", "zh-Hant-TW").
Wanted wantedOf(std::string_view name) {
    name = name.substr(0, name.find_first_of(".@"));
    Wanted out;
    bool first = true;
    while (!name.empty()) {
        const std::size_t end = std::min(name.find_first_of("_-"), name.size());
        const std::string_view part = name.substr(0, end);
        name.remove_prefix(std::min(end + 1, name.size()));
        if (first) {
            std::transform(part.begin(), part.end(), std::back_inserter(out.language), lower);
            first = false;
        } else if (out.region.empty() && ((part.size() == 2 && std::all_of(part.begin(), part.end(), isAlpha)) ||
                                          (part.size() == 3 && std::all_of(part.begin(), part.end(), isDigit)))) {
            std::transform(part.begin(), part.end(), std::back_inserter(out.region), upper);
        }
    }
    return out;
}

std::string_view languageOfCode(std::string_view code) { return code.substr(0, code.find('_')); }

// The names of the "C" locale, which is the texts as written.
constexpr std::string_view kCLocale[] = {"c", "posix"};

// The code of the language `name` asks for among `codes`, or empty when none is it.
std::string_view codeFor(std::string_view name, std::span<const std::string_view> codes) {
    const Wanted wanted = wantedOf(name);
    if (wanted.language.empty()) return {};
    if (std::find(std::begin(kCLocale), std::end(kCLocale), wanted.language) != std::end(kCLocale)) return kEnglish;
    const std::string withRegion = wanted.language + "_" + wanted.region;
    for (const std::string_view code : codes)
        if (!wanted.region.empty() && code == withRegion) return code;
    for (const std::string_view code : codes)
        if (code == wanted.language) return code;
    for (const std::string_view code : codes)
        if (languageOfCode(code) == wanted.language) return code;
    return {};
}

} // namespace

std::vector<std::string_view> lessonLanguages() {
    std::vector<std::string_view> codes{kEnglish};
    for (const EmbeddedFile& catalogue : embeddedCatalogues()) codes.push_back(catalogue.name);
    return codes;
}

std::string_view languageForLocale(const LocaleSettings& settings) {
    const std::string_view locale = !settings.lcAll.empty()        ? settings.lcAll
                                    : !settings.lcMessages.empty() ? settings.lcMessages
                                                                   : settings.lang;
    if (locale.empty() || locale == "C" || locale == "POSIX") return kEnglish;
    std::string_view list = settings.language.empty() ? locale : settings.language;
    const std::vector<std::string_view> codes = lessonLanguages();
    while (!list.empty()) {
        const std::size_t end = std::min(list.find(':'), list.size());
        if (const std::string_view code = codeFor(list.substr(0, end), codes); !code.empty()) return code;
        list.remove_prefix(std::min(end + 1, list.size()));
    }
    return kEnglish;
}

std::string_view languageForEnvironment() {
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr ? std::string_view(value) : std::string_view();
    };
    return languageForLocale({variable("LANGUAGE"), variable("LC_ALL"), variable("LC_MESSAGES"), variable("LANG")});
}

std::string_view languageForTags(std::span<const std::string> tags) { return languageForTags(tags, lessonLanguages()); }

std::string_view languageForTags(std::span<const std::string> tags, std::span<const std::string_view> codes) {
    for (const std::string& tag : tags)
        if (const std::string_view code = codeFor(tag, codes); !code.empty()) return code;
    return kEnglish;
}

std::vector<std::string> languageTagsMatched() {
    std::vector<std::string> tags(std::begin(kCLocale), std::end(kCLocale));
    for (const std::string_view code : lessonLanguages()) {
        for (std::string tag : {languageTag(code), std::string(languageOfCode(code))}) {
            std::transform(tag.begin(), tag.end(), tag.begin(), lower);
            if (std::find(tags.begin(), tags.end(), tag) == tags.end()) tags.push_back(std::move(tag));
        }
    }
    return tags;
}

Language::Language(std::string_view code) {
    for (const EmbeddedFile& file : embeddedCatalogues()) {
        if (file.name != code) continue;
        try {
            catalogue_ = std::make_shared<const MessageCatalogue>(file.bytes);
            code_ = file.name;
        } catch (const CatalogueFormatError&) {
            // The texts as written are always there to fall back on.
        }
    }
}

Language::Language(std::string_view code, std::span<const std::uint8_t> catalogue) {
    // The catalogue keeps views into its bytes: both live, and are shared, together.
    struct Owned {
        std::vector<std::uint8_t> bytes;
        MessageCatalogue catalogue;
        explicit Owned(std::span<const std::uint8_t> from) : bytes(from.begin(), from.end()), catalogue(bytes) {}
    };
    try {
        const auto owned = std::make_shared<const Owned>(catalogue);
        catalogue_ = std::shared_ptr<const MessageCatalogue>(owned, &owned->catalogue);
        code_ = code;
    } catch (const CatalogueFormatError&) {
        // The texts as written are always there to fall back on.
    }
}

std::string_view Language::tr(std::string_view context, std::string_view english) const {
    if (!catalogue_) return english;
    return catalogue_->find(context, english).value_or(english);
}

std::optional<std::size_t> voiceFor(std::span<const std::string> voiceTags, std::string_view code,
                                    std::optional<std::size_t> preferred) {
    const Wanted lesson = wantedOf(code);
    // 4 for the lesson's language and region, 2 for its language, 0 for another; one more for
    // the default voice, which so wins a tie and nothing else.
    const auto rank = [&](std::size_t i) {
        const Wanted voice = wantedOf(voiceTags[i]);
        if (lesson.language.empty() || voice.language != lesson.language) return 0;
        return (!lesson.region.empty() && voice.region == lesson.region ? 4 : 2) + (i == preferred ? 1 : 0);
    };
    std::optional<std::size_t> best;
    int bestRank = 0;
    for (std::size_t i = 0; i < voiceTags.size(); ++i) {
        if (const int r = rank(i); r > bestRank) {
            best = i;
            bestRank = r;
        }
    }
    return best;
}

std::string languageTag(std::string_view code) {
    std::string tag(code);
    std::replace(tag.begin(), tag.end(), '_', '-');
    return tag;
}

bool rightToLeft(std::string_view code) {
    static constexpr std::string_view kRightToLeft[] = {"ar", "dv", "fa", "he", "ps", "sd", "ug", "ur", "yi"};
    return std::find(std::begin(kRightToLeft), std::end(kRightToLeft), languageOfCode(code)) != std::end(kRightToLeft);
}

std::string withValue(std::string_view pattern, std::string_view value) {
    std::string out(pattern);
    if (const std::size_t at = out.find("%s"); at != std::string::npos) out.replace(at, 2, value);
    return out;
}

} // namespace velmora
