// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

namespace velmora {

/*
 * What a screen reader says aloud as the lesson goes on. With Qt 6.8 or later a sentence goes out
 * as an announcement event; before that, as this widget's accessible name, shown again each time
 * with the Notification role, which screen readers speak as soon as it shows. The widget never
 * takes the focus, the mouse or any space on screen.
 */
class Announcer final : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget* parent);

    // Says `text` once the current event is done, after any focus move it made, so that the
    // focus's own words do not cut it short. Sentences given in one event are said together.
    void announce(const QString& text);

protected:
    void paintEvent(QPaintEvent*) override {}

private:
    void sayPending();

    QStringList pending_;
};

} // namespace velmora
