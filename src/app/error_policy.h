// SPDX-License-Identifier: MIT
#pragma once

#include "language/language.h"
#include "model/run_time_error.h"
#include "runtime/project_description.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <utility>

namespace velmora {

// The name the program is started by, which begins each line it writes to stderr.
inline constexpr char kCommandName[] = "velmora";

// `text` as one line for stderr: "velmora: " and the text with its line breaks made spaces.
QByteArray stderrLine(const QString& text);

// Writes `line` to stderr at once (unbuffered by the time this returns).
void writeToStderr(const QByteArray& line);

/*
 * The program-wide answer to an error: one modal box titled with the project title that gives
 * the error's number and description, the same text as one line on stderr for a terminal or a
 * log, and then the end of the program with kExitOnError. Showing, logging and ending are
 * replaceable so that tests can watch them without a real box.
 */
class ErrorPolicy final {
public:
    using Show = std::function<void(QWidget* parent, const QString& title, const QString& text)>;
    using End = std::function<void(int status)>;
    using Log = std::function<void(const QByteArray& line)>;

    // Defaults: a critical QMessageBox, leaving the application's event loop, writing to stderr.
    explicit ErrorPolicy(QString title, Show show = {}, End end = {}, Log log = {});

    // The language of the box's words (English unless set).
    void setLanguage(Language language) { language_ = std::move(language); }
    // The window the box is modal to; none means application-modal without a parent.
    void setParentWindow(QWidget* window) { parent_ = window; }

    // Reports `error` and ends the program. Only the first report of a run is shown: once the
    // program is ending, later errors are not news to the user.
    void report(const RunTimeError& error);
    // The same for an error that stops the program before its window is up.
    void reportStartFailure(const QString& description);

    // Box text for an error: "Run-time error '<number>':" and the description.
    QString textFor(const RunTimeError& error) const;

private:
    void showAndEnd(const QString& text);

    QString title_;
    Language language_;
    Show show_;
    End end_;
    Log log_;
    QPointer<QWidget> parent_;
    bool reported_ = false;
};

} // namespace velmora
