// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/accessibility.h"

#include "app/controls.h"
#include "app/frm.h"

#include <QAccessibleWidget>

namespace app {

namespace {

// The window, a frame to screen readers: Orca prefaces a dialog's announcements with its caption
// and labels, a frame's it reads alone. LblSay, drawn over the picture, is read right after it:
// screen readers take a button as one whole and never look inside it.
class WindowAccessible final : public QAccessibleWidget {
public:
    explicit WindowAccessible(Frm& window) : QAccessibleWidget(&window, QAccessible::Window) {}

    int childCount() const override { return QAccessibleWidget::childCount() + 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == labelIndex)
            return QAccessible::queryAccessibleInterface(label());
        return QAccessibleWidget::child(index > labelIndex ? index - 1 : index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child->object() == label())
            return labelIndex;
        const int index = QAccessibleWidget::indexOfChild(child);
        return index >= labelIndex ? index + 1 : index;
    }

private:
    static constexpr int labelIndex = 1; // after the picture
    // Looked up when asked: the window is read before its labels are made and named.
    QWidget* label() const { return widget()->findChild<QWidget*>("LblSay"); }
};

// Pic: a button with nothing inside it, pressed as a click presses it.
class PictureAccessible final : public QAccessibleWidget {
public:
    explicit PictureAccessible(ScenePicture& picture)
        : QAccessibleWidget(&picture, QAccessible::Button), picture_(picture) {}

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QStringList actionNames() const override {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction())
            picture_.animateClick();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    ScenePicture& picture_;
};

// LblSay: a notification, read out when it is shown. Its text is in the label inside it, which
// is what screen readers show in braille and keep in their list of notifications.
class NotificationAccessible final : public QAccessibleWidget {
public:
    explicit NotificationAccessible(MurmurLabel& label)
        : QAccessibleWidget(&label, QAccessible::Notification) {}

    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(widget()->window());
    }
};

QAccessibleInterface* gameAccessible(const QString&, QObject* object) {
    if (auto* window = dynamic_cast<Frm*>(object))
        return new WindowAccessible(*window);
    if (auto* picture = dynamic_cast<ScenePicture*>(object))
        return new PictureAccessible(*picture);
    if (auto* label = dynamic_cast<MurmurLabel*>(object))
        return new NotificationAccessible(*label);
    if (auto* bar = dynamic_cast<MoodBar*>(object))
        return new QAccessibleWidget(bar, QAccessible::StaticText);
    if (object->objectName() == QLatin1String("OptGroup"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    return nullptr;
}

} // namespace

void installAccessibility() {
    [[maybe_unused]] static const bool installed =
        (QAccessible::installFactory(gameAccessible), true);
}

void announce(QWidget& label) {
    QAccessibleEvent event(&label, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&event);
}

void nameChanged(QWidget& window) {
    QAccessibleEvent event(&window, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace app
