#include "ui/control_accessibility.h"

#include "ui/form_window.h"
#include "ui/label_widget.h"
#include "ui/picture_area_widget.h"

#include <QAccessibleWidget>

namespace velmora {
namespace {

class PictureAreaAccessible final : public QAccessibleWidget {
public:
    explicit PictureAreaAccessible(PictureAreaWidget* area)
        : QAccessibleWidget(area, area->isActivatable() ? QAccessible::Button : QAccessible::Graphic) {
        if (area->isActivatable()) addControllingSignal(QStringLiteral("activated()"));
    }

    QStringList actionNames() const override {
        return area()->isActivatable() ? QStringList{pressAction()} : QStringList{};
    }

    void doAction(const QString& action) override {
        if (action == pressAction() && area()->isActivatable()) emit area()->activated();
    }

private:
    PictureAreaWidget* area() const { return static_cast<PictureAreaWidget*>(widget()); }
};

QAccessibleInterface* controlFactory(const QString& className, QObject* object) {
    if (!object->isWidgetType()) return nullptr;
    if (className == QLatin1String("velmora::PictureAreaWidget"))
        return new PictureAreaAccessible(static_cast<PictureAreaWidget*>(object));
    if (className == QLatin1String("velmora::FormWindow"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
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
