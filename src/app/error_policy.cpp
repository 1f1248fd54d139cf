#include "app/error_policy.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace velmora {

ErrorPolicy::ErrorPolicy(QString title, Show show, End end)
    : title_(std::move(title)), show_(std::move(show)), end_(std::move(end)) {
    if (!show_)
        show_ = [](QWidget* parent, const QString& boxTitle, const QString& text) {
            QMessageBox::critical(parent, boxTitle, text);
        };
    if (!end_) end_ = [](int status) { QCoreApplication::exit(status); };
}

QString ErrorPolicy::textFor(const RunTimeError& error) {
    return QStringLiteral("Run-time error '%1':\n\n%2").arg(error.number()).arg(QString::fromStdString(error.description()));
}

void ErrorPolicy::report(const RunTimeError& error) { showAndEnd(textFor(error)); }

void ErrorPolicy::reportStartFailure(const QString& description) { showAndEnd(description); }

void ErrorPolicy::showAndEnd(const QString& text) {
    if (reported_) return;
    reported_ = true;
    show_(parent_, title_, text);
    end_(kExitOnError);
}

} // namespace velmora
