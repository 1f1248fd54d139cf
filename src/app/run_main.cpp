#include "app/run_main.h"

#include "app/error_policy.h"
#include "assets/scene_picture.h"
#include "runtime/error_handling.h"
#include "ui/form_window.h"
#include "ui/scene_images.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

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
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(project.executableName.data(),
                                                       static_cast<qsizetype>(project.executableName.size())));
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("velmora"));
    QApplication::setWindowIcon(applicationIcon());

    const QString title = QString::fromUtf8(project.title.data(), static_cast<qsizetype>(project.title.size()));
    ErrorPolicy policy(title);
    const ScopedErrorReporter reporter([&policy](const RunTimeError& error) { policy.report(error); });

    SceneImages images;
    try {
        images = SceneImages::load();
    } catch (const PictureFormatError& error) {
        // No half-built window: the box, then the end.
        policy.reportStartFailure(QStringLiteral("A stored picture is damaged and the program cannot start.\n\n%1")
                                      .arg(QString::fromUtf8(error.what())));
        return kExitOnError;
    }

    FormWindow window(images);
    policy.setParentWindow(&window);
    window.show();
    return QApplication::exec();
}

} // namespace velmora
