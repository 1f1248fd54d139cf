// SPDX-License-Identifier: MIT
#include "app/error_policy.h"

#include "reaction/lesson_texts.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <cstdio>

namespace velmora {

QByteArray stderrLine(const QString& text) {
    QString oneLine = text;
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QByteArray(kCommandName) + ": " + oneLine.simplified().toUtf8() + '\n';
}

void writeToStderr(const QByteArray& line) {
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    std::fflush(stderr);
}

ErrorPolicy::ErrorPolicy(QString title, Show show, End end, Log log)
    : title_(std::move(title)), show_(std::move(show)), end_(std::move(end)), log_(std::move(log)) {
    if (!show_)
        show_ = [](QWidget* parent, const QString& boxTitle, const QString& text) {
            QMessageBox::critical(parent, boxTitle, text);
        };
    if (!end_) end_ = [](int status) { QCoreApplication::exit(status); };
    if (!log_) log_ = writeToStderr;
}

QString ErrorPolicy::textFor(const RunTimeError& error) const {
    return QString::fromStdString(errorBoxText(language_, error));
}

void ErrorPolicy::report(const RunTimeError& error) { showAndEnd(textFor(error)); }

void ErrorPolicy::reportStartFailure(const QString& description) { showAndEnd(description); }

void ErrorPolicy::showAndEnd(const QString& text) {
    if (reported_) return;
    reported_ = true;
    log_(stderrLine(text));
    show_(parent_, title_, text);
    end_(kExitOnError);
}

} // namespace velmora
