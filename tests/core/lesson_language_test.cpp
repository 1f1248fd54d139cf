// SPDX-License-Identifier: MIT
// Which language the lesson speaks, and that it then says everything in it: the choice from a
// desktop's locale settings and from a browser's (or Windows') languages, the catalogues as
// compiled in or handed over as bytes, two lessons in two languages side by side, and the reader's refusal of damaged
// catalogues.
#include "language/embedded_files.h"
#include "language/language.h"
#include "language/message_catalogue.h"
#include "reaction/lesson_session.h"
#include "reaction/lesson_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace velmora {
namespace {

// Every sentence the lesson can say, in `l`.
std::vector<std::string> sentences(const Language& l) {
    std::vector<std::string> out;
    for (const char* control : {"Picture1", "Picture2", "Picture3", "Picture4", "Command1"})
        out.emplace_back(controlText(l, control).description);
    for (Stage stage : {Stage::Apart, Stage::Bound, Stage::Released, Stage::Other})
        out.emplace_back(stageText(l, stage));
    for (int a = 0; a <= static_cast<int>(Announcement::OverTarget); ++a)
        out.emplace_back(announcementText(l, static_cast<Announcement>(a)));
    for (int h = -1; h <= 1; ++h)
        for (int v = -1; v <= 1; ++v)
            for (const std::string& s : {pickedUpText(l, {h, v}), offTargetText(l, {h, v}), holdingText(l, {h, v})})
                out.push_back(s);
    out.push_back(damagedPictureText(l, ""));
    out.emplace_back(lessonEndedText(l));
    for (const auto page : {cannotRunText, cannotLoadText, loadingText, fromFileText, tryAgainText})
        out.emplace_back(page(l));
    out.push_back(errorBoxText(l, RunTimeError(91, "description")));
    return out;
}

TEST(LessonLanguage, TheLocaleChoosesAsGettextReadsIt) {
    struct Row {
        LocaleSettings settings;
        std::string_view expected;
    };
    const Row rows[] = {
        {{}, "en"},
        {{.lang = "de_DE.UTF-8"}, "de"},
        {{.language = "de", .lang = "C"}, "en"}, // the C locale ignores LANGUAGE
        {{.language = "fr", .lang = "POSIX"}, "en"},
        {{.language = "de", .lang = "C.UTF-8"}, "de"},
        {{.language = "fr:de", .lang = "de_DE.UTF-8"}, "fr"},
        {{.language = "sv:es_MX", .lang = "de_DE.UTF-8"}, "es"},
        {{.language = "sv", .lang = "de_DE.UTF-8"}, "en"}, // LANGUAGE is the whole list
        {{.language = "en:de", .lang = "de_DE.UTF-8"}, "en"},
        {{.lcAll = "fr_FR.UTF-8", .lcMessages = "de_DE", .lang = "es_ES"}, "fr"},
        {{.lcMessages = "it_IT.UTF-8@euro", .lang = "es_ES"}, "it"},
        {{.lang = "pt_PT.UTF-8"}, "pt_BR"}, // the one Portuguese there is
        {{.lang = "sv_SE.UTF-8"}, "en"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.settings.language) + " | " + std::string(row.settings.lcAll) + " | " +
                     std::string(row.settings.lcMessages) + " | " + std::string(row.settings.lang));
        EXPECT_EQ(languageForLocale(row.settings), row.expected);
    }
}

TEST(LessonLanguage, TagsChooseTheFirstLanguageTheLessonSpeaks) {
    struct Row {
        std::vector<std::string> tags;
        std::string_view expected;
    };
    const Row rows[] = {
        {{}, "en"},
        {{"de-AT"}, "de"},
        {{"sv", "es-419", "fr"}, "es"},
        {{"", "ja-JP", "FR-ca"}, "fr"},
        {{"PT-br"}, "pt_BR"},
        {{"pt"}, "pt_BR"},
        {{"en-GB", "de"}, "en"},
        {{"x-private", "und"}, "en"},
        {{"zh-Hant-TW"}, "zh_CN"}, // the one Chinese there is
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.tags));
        EXPECT_EQ(languageForTags(row.tags), row.expected);
    }
    // A page that carries only some languages chooses among those.
    const std::string_view some[] = {kEnglish, "de"};
    EXPECT_EQ(languageForTags(std::vector<std::string>{"fr", "de-CH"}, some), "de");
    EXPECT_EQ(languageForTags(std::vector<std::string>{"fr"}, some), kEnglish);
    EXPECT_EQ(languageTag("pt_BR"), "pt-BR");
    EXPECT_TRUE(rightToLeft("ar"));
    EXPECT_FALSE(rightToLeft("pt_BR"));
}

TEST(LessonLanguage, TheVoiceOfTheLessonsLanguageAndRegionSpeaksItElseOneOfItsLanguage) {
    struct Row {
        std::string_view lesson;
        std::vector<std::string> voices;
        std::optional<std::size_t> preferred;
        std::optional<std::size_t> expected;
    };
    const Row rows[] = {
        {"pt_BR", {"en-US", "pt-PT", "PT_br"}, {}, 2},    // region first, whatever the spelling
        {"pt_BR", {"pt-PT", "pt-BR"}, 0, 1},              // the default does not outrank the region
        {"de", {"de-AT", "de-DE", "de-CH"}, {}, 0},       // no region of its own: the first German
        {"de", {"de-AT", "de-DE", "de-CH"}, 1, 1},        // ... or the default among them
        {"zh_CN", {"zh-Hant-TW", "zh-Hans-CN"}, {}, 1},   // the script is not the region
        {"fr", {"en-US", "", "frr-DE", "French"}, 0, {}}, // no French voice: none at all
        {"en", {}, {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.lesson) + " among " + testing::PrintToString(row.voices));
        EXPECT_EQ(voiceFor(row.voices, row.lesson, row.preferred), row.expected);
    }
}

TEST(LessonLanguage, EveryLanguageSaysEverySentenceInItsOwnWords) {
    const std::vector<std::string> english = sentences(Language());
    const std::vector<std::string_view> languages = lessonLanguages();
    ASSERT_GE(languages.size(), 6u);
    EXPECT_EQ(languages.front(), kEnglish);
    for (std::size_t i = 1; i < languages.size(); ++i) {
        SCOPED_TRACE(languages[i]);
        const Language language(languages[i]);
        ASSERT_EQ(language.code(), languages[i]);
        const std::vector<std::string> translated = sentences(language);
        for (std::size_t s = 0; s < english.size(); ++s) {
            EXPECT_NE(translated[s], english[s]);
            EXPECT_EQ(translated[s].find('%'), std::string::npos) << translated[s];
        }
        EXPECT_NE(pictureWordText(language, PictureWord::Substrate), "Substrate");
        // Made from its catalogue's bytes, handed over as a web page fetches them, it says the same.
        const std::span<const std::uint8_t> catalogue = embeddedCatalogues()[i - 1].bytes;
        EXPECT_EQ(sentences(Language(languages[i], catalogue)), translated);
        EXPECT_EQ(Language(languages[i], catalogue.first(catalogue.size() / 2)).code(), kEnglish);
    }
    EXPECT_EQ(damagedPictureText(Language(), "row 3 is short"),
              "A stored picture is damaged and the lesson cannot start.\n\nrow 3 is short");
    EXPECT_EQ(Language("sv").code(), kEnglish);
    EXPECT_EQ(sentences(Language("sv")), english);
}

TEST(LessonLanguage, TwoLessonsSideBySideEachSpeakTheirOwnLanguage) {
    const auto shown = [](const Control&) { return kStatusOk; };
    LessonSession german(Language("de"), shown);
    LessonSession english(Language(), shown);
    // Played in turn, each pick-up, put-down and stage comes in its own lesson's language.
    const std::string germanPickUp = german.activate(*german.form().find("Picture2")).say;
    const std::string englishPickUp = english.activate(*english.form().find("Picture2")).say;
    EXPECT_EQ(englishPickUp, "Substrate picked up. The enzyme is below. Press Down arrow.");
    EXPECT_EQ(germanPickUp, pickedUpText(Language("de"), {0, 1}));
    EXPECT_NE(germanPickUp, englishPickUp);
    const KeyInput escape{Key::Escape};
    EXPECT_EQ(german.key(escape).say, announcementText(Language("de"), Announcement::Cancelled));
    EXPECT_EQ(english.key(escape).say, announcementText(Language(), Announcement::Cancelled));
    EXPECT_EQ(german.stageSentence(), stageText(Language("de"), Stage::Apart));
    EXPECT_EQ(english.stageSentence(), stageText(Language(), Stage::Apart));
    EXPECT_NE(german.stageSentence(), english.stageSentence());
}

TEST(MessageCatalogue, RefusesAnythingButAWellFormedUtf8Catalogue) {
    const auto catalogues = embeddedCatalogues();
    const auto de = std::find_if(catalogues.begin(), catalogues.end(), [](const auto& c) { return c.name == "de"; });
    ASSERT_NE(de, catalogues.end());
    const std::span<const std::uint8_t> german = de->bytes;
    const std::vector<std::uint8_t> good(german.begin(), german.end());
    const MessageCatalogue catalogue(good);
    ASSERT_EQ(catalogue.find("caption", "Reset"), "Neustart");
    EXPECT_EQ(catalogue.find("", "not a text of the lesson"), std::nullopt);

    // The same catalogue written big-endian reads the same.
    std::vector<std::uint8_t> swapped = good;
    const auto word = [&](std::size_t at) {
        return std::uint32_t{good[at]} | std::uint32_t{good[at + 1]} << 8 | std::uint32_t{good[at + 2]} << 16 |
               std::uint32_t{good[at + 3]} << 24;
    };
    const auto swap = [&](std::size_t at) { std::reverse(swapped.begin() + at, swapped.begin() + at + 4); };
    for (std::size_t at = 0; at < 28; at += 4) swap(at);
    for (const std::size_t table : {word(12), word(16)})
        for (std::size_t at = table; at < table + 8 * word(8); at += 4) swap(at);
    EXPECT_EQ(MessageCatalogue(swapped).find("caption", "Reset"), "Neustart");

    struct Damage {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> apply;
    };
    const Damage damages[] = {
        {"empty", [](auto& mo) { mo.clear(); }},
        {"shorter than its header", [](auto& mo) { mo.resize(20); }},
        {"another magic number", [](auto& mo) { mo[0] ^= 0xFF; }},
        {"more texts than bytes", [](auto& mo) { mo[11] = 0x7F; }},
        {"a table past the end", [](auto& mo) { mo[15] = 0x7F; }},
        {"cut inside its strings", [](auto& mo) { mo.resize(mo.size() - 10); }},
        {"a string without its NUL", [&](auto& mo) { mo[word(word(12) + 12) + word(word(12) + 8)] = 'x'; }},
        {"no UTF-8 in its header",
         [](auto& mo) {
             const std::string_view charset = "charset=UTF-8";
             std::search(mo.begin(), mo.end(), charset.begin(), charset.end())[8] = 'X';
         }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        std::vector<std::uint8_t> mo = good;
        damage.apply(mo);
        EXPECT_THROW(MessageCatalogue{mo}, CatalogueFormatError);
    }
}

} // namespace
} // namespace velmora
