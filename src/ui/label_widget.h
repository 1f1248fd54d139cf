// SPDX-License-Identifier: MIT
#pragma once

#include "model/control_record.h"

#include <QWidget>

namespace velmora {

// A label: its rectangle filled with its back colour, `caption` in its fore colour and font,
// left-aligned from the top-left corner and clipped. It never takes the focus.
class LabelWidget final : public QWidget {
    Q_OBJECT
public:
    LabelWidget(const ControlRecord& record, QString caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    QColor back_;
    QColor fore_;
};

} // namespace velmora
