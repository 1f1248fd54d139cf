#pragma once

#include "model/run_time_error.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace velmora {

// Exit status of a program that ended on an error (closing the window ends with 0).
inline constexpr int kExitOnError = 1;

/*
 * The program-wide answer to an error: one modal box titled with the project title that gives
 * the error's number and description, and then the end of the program with kExitOnError.
 * Showing and ending are replaceable so that tests can watch both without a real box.
 */
class ErrorPolicy final {
public:
    using Show = std::function<void(QWidget* parent, const QString& title, const QString& text)>;
    using End = std::function<void(int status)>;

    // Defaults: a critical QMessageBox, and leaving the application's event loop.
    explicit ErrorPolicy(QString title, Show show = {}, End end = {});

    // The window the box is modal to; none means application-modal without a parent.
    void setParentWindow(QWidget* window) { parent_ = window; }

    // Reports `error` and ends the program. Only the first report of a run is shown: once the
    // program is ending, later errors are not news to the user.
    void report(const RunTimeError& error);
    // The same for an error that stops the program before its window is up.
    void reportStartFailure(const QString& description);

    // Box text for an error: "Run-time error '<number>':" and the description.
    static QString textFor(const RunTimeError& error);

    bool hasReported() const { return reported_; }

private:
    void showAndEnd(const QString& text);

    QString title_;
    Show show_;
    End end_;
    QPointer<QWidget> parent_;
    bool reported_ = false;
};

} // namespace velmora
