// SPDX-License-Identifier: MIT
#include "ui/control_accessibility.h"

#include "ui/drag_outline.h"
#include "ui/form_window.h"
#include "ui/label_widget.h"
#include "ui/picture_area_widget.h"
#include "ui/qt_conversions.h"

#include <QAccessibleWidget>

namespace velmora {
namespace {

class PictureAreaAccessible final : public QAccessibleWidget {
public:
    explicit PictureAreaAccessible(PictureAreaWidget* area)
        : QAccessibleWidget(area, area->accessibility().role == ControlRole::Button ? QAccessible::Button
                                                                                    : QAccessible::Graphic) {
        if (!action().isEmpty()) addControllingSignal(QStringLiteral("activated()"));
    }

    // The lesson's action: Press on the complex, Pick up on the substrate.
    QStringList actionNames() const override { return action().isEmpty() ? QStringList{} : QStringList{action()}; }

    void doAction(const QString& name) override {
        if (!name.isEmpty() && name == action()) emit area()->activated();
    }

private:
    PictureAreaWidget* area() const { return static_cast<PictureAreaWidget*>(widget()); }
    QString action() const { return fromUtf8(area()->accessibility().action); }
};

// The form's window; its drag outline is drawing, not a control, so it is left out of the tree.
class FormWindowAccessible final : public QAccessibleWidget {
public:
    explicit FormWindowAccessible(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}

    int childCount() const override { return static_cast<int>(children().size()); }

    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> all = children();
        return index >= 0 && index < all.size() ? QAccessible::queryAccessibleInterface(all[index]) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? static_cast<int>(children().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
    }

private:
    QList<QWidget*> children() const {
        QList<QWidget*> shown;
        for (QObject* object : widget()->children())
            if (auto* w = qobject_cast<QWidget*>(object); w && !w->isWindow() && !DragOutline::isPart(w))
                shown.append(w);
        return shown;
    }
};

QAccessibleInterface* controlFactory(const QString& className, QObject* object) {
    if (!object->isWidgetType()) return nullptr;
    if (className == QLatin1String("velmora::PictureAreaWidget"))
        return new PictureAreaAccessible(static_cast<PictureAreaWidget*>(object));
    if (className == QLatin1String("velmora::FormWindow"))
        return new FormWindowAccessible(static_cast<QWidget*>(object));
    if (className == QLatin1String("velmora::Announcer"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    if (className == QLatin1String("velmora::LabelWidget"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::StaticText);
    return nullptr;
}

} // namespace

void installControlAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(controlFactory);
        return true;
    }();
    (void)installed;
}

} // namespace velmora
