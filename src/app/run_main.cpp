// SPDX-License-Identifier: MIT
#include "app/run_main.h"

#include "app/error_policy.h"
#include "app/options.h"
#include "app/platform_start.h"
#include "assets/scene_picture.h"
#include "language/language.h"
#include "reaction/lesson_texts.h"
#include "runtime/error_handling.h"
#include "ui/form_window.h"
#include "ui/lesson_aids.h"
#include "ui/native_window_watch.h"
#include "ui/scene_images.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

#include <cstdio>
#include <optional>

namespace velmora {
namespace {

// Every size of the icon that the build compiled in.
QIcon applicationIcon() {
    const QDir icons(QStringLiteral(":/icons"));
    QIcon icon;
    for (const QString& name : icons.entryList(QDir::Files)) icon.addFile(icons.filePath(name));
    return icon;
}

} // namespace

int runMain(const ProjectDescription& project, int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    if (options.help) {
        // Before Qt: the usage needs no display.
        std::fwrite(helpText().data(), 1, helpText().size(), stdout);
        return 0;
    }
    std::optional<PlatformStartGuard> start(std::in_place, argc, argv);
    QApplication app(argc, argv);
    start.reset();
    QApplication::setApplicationName(
        QString::fromUtf8(project.executableName.data(), static_cast<qsizetype>(project.executableName.size())));
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("velmora"));
    QApplication::setWindowIcon(applicationIcon());
    // Every text and picture word is in the language the desktop session's locale asks for.
    const Language language(languageForEnvironment());

    const QString title = QString::fromUtf8(project.title.data(), static_cast<qsizetype>(project.title.size()));
    ErrorPolicy policy(title);
    policy.setLanguage(language);
    const ScopedErrorReporter reporter([&policy](const RunTimeError& error) { policy.report(error); });

    SceneImages images;
    try {
        images = SceneImages::load(language);
    } catch (const PictureFormatError& error) {
        // No half-built window: the box, then the end.
        policy.reportStartFailure(QString::fromStdString(damagedPictureText(language, error.what())));
        return kExitOnError;
    }

    FormWindow window(language, images);
    policy.setParentWindow(&window);
    window.setErrorReport([&policy](const RunTimeError& error) { policy.report(error); });
    window.aids().setFeedback(Feedback(options.voice, options.sound),
                              [](const QString& line) { writeToStderr(stderrLine(line)); });
    window.show();
    const NativeWindowWatch watch(&window);
    return QApplication::exec();
}

} // namespace velmora
