// SPDX-License-Identifier: MIT
// Writes the manifest of the web edition as a SCORM 1.2 package, run by node at build time:
//   scorm_manifest SITE OUTPUT IDENTIFIER VERSION
// The package is one SCO, the lesson's page (index.html), with every file under SITE (OUTPUT, if
// it is there, aside) listed as one of its files. A platform shows the lesson under its title,
// and its description is the lesson's cycle in the lesson's own sentences (where the pupil starts,
// what binding gives, what releasing gives), both in every language the lesson speaks.
#include "language/language.h"
#include "markup.h"
#include "reaction/lesson_texts.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace velmora {
namespace {

// Every file under `site` but `leftOut`, by its path from `site`, '/' between the names, sorted.
std::vector<std::string> filesOf(const std::filesystem::path& site, const std::filesystem::path& leftOut) {
    const std::filesystem::path skipped = std::filesystem::weakly_canonical(leftOut);
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(site)) {
        if (!entry.is_regular_file() || std::filesystem::weakly_canonical(entry.path()) == skipped) continue;
        files.push_back(entry.path().lexically_relative(site).generic_string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// A metadata text in every language the lesson speaks, as `text` gives it in that language.
template <typename Text>
std::string langstrings(Text text) {
    std::string out;
    for (const std::string_view code : lessonLanguages()) {
        const Language language(code);
        out += "<imsmd:langstring" + attribute("xml:lang", languageTag(code)) + '>' + escaped(text(language)) +
               "</imsmd:langstring>";
    }
    return out;
}

std::string manifest(const std::vector<std::string>& files, const std::string& identifier, const std::string& version) {
    const auto title = [](const Language& language) { return std::string(pageTitleText(language)); };
    const auto description = [](const Language& language) {
        return std::string(stageText(language, Stage::Apart)) + ' ' + std::string(stageText(language, Stage::Bound)) +
               ' ' + std::string(stageText(language, Stage::Released));
    };
    std::string listed;
    for (const std::string& file : files) listed += "      <file" + attribute("href", file) + "/>\n";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<manifest" + attribute("identifier", identifier) +
           attribute("version", version) +
           " xmlns=\"http://www.imsproject.org/xsd/imscp_rootv1p1p2\""
           " xmlns:adlcp=\"http://www.adlnet.org/xsd/adlcp_rootv1p2\""
           " xmlns:imsmd=\"http://www.imsglobal.org/xsd/imsmd_rootv1p2p1\">\n"
           "  <metadata>\n    <schema>ADL SCORM</schema>\n    <schemaversion>1.2</schemaversion>\n"
           "    <imsmd:lom><imsmd:general>\n      <imsmd:title>" +
           langstrings(title) + "</imsmd:title>\n      <imsmd:description>" + langstrings(description) +
           "</imsmd:description>\n    </imsmd:general></imsmd:lom>\n  </metadata>\n"
           "  <organizations default=\"lesson\">\n    <organization identifier=\"lesson\">\n      <title>" +
           escaped(title(Language())) +
           "</title>\n      <item identifier=\"cycle\" identifierref=\"page\">\n        <title>" +
           escaped(title(Language())) +
           "</title>\n      </item>\n    </organization>\n  </organizations>\n"
           "  <resources>\n    <resource identifier=\"page\" type=\"webcontent\" adlcp:scormtype=\"sco\" "
           "href=\"index.html\">\n" +
           listed + "    </resource>\n  </resources>\n</manifest>\n";
}

} // namespace
} // namespace velmora

int main(int argc, char** argv) {
    using namespace velmora;
    if (argc != 5) {
        std::cerr << "usage: scorm_manifest SITE OUTPUT IDENTIFIER VERSION\n";
        return 2;
    }
    std::vector<std::string> files;
    try {
        files = filesOf(argv[1], argv[2]);
    } catch (const std::filesystem::filesystem_error& failure) {
        std::cerr << "scorm_manifest: cannot list " << argv[1] << ": " << failure.code().message() << '\n';
        return 1;
    }
    if (std::find(files.begin(), files.end(), "index.html") == files.end()) {
        std::cerr << "scorm_manifest: " << argv[1] << " holds no index.html, the lesson's page\n";
        return 1;
    }
    if (!(std::ofstream(argv[2], std::ios::binary) << manifest(files, argv[3], argv[4]))) {
        std::cerr << "scorm_manifest: cannot write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
