// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/accessibility.h"

#include "app/frm.h"
#include "app/murmur_label.h"

#include <QAccessibleWidget>

namespace app {

namespace {

// Screen readers speak an object with the notification role when it shows and keep it in their
// list of notifications.
class NotificationAccessible final : public QAccessibleWidget {
public:
    explicit NotificationAccessible(MurmurLabel& label)
        : QAccessibleWidget(&label, QAccessible::Notification), label_(label) {}

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name ? label_.text() : QString();
    }

private:
    MurmurLabel& label_;
};

// A screen reader speaks every new caption of a frame, three times a second here, while a
// dialog's caption it reads as the context of what it says.
QAccessibleInterface* gameAccessible(const QString&, QObject* object) {
    if (auto* window = dynamic_cast<Frm*>(object))
        return new QAccessibleWidget(window, QAccessible::Dialog);
    if (auto* label = dynamic_cast<MurmurLabel*>(object))
        return new NotificationAccessible(*label);
    return nullptr;
}

void send(QWidget& widget, QAccessible::Event type) {
    QAccessibleEvent event(&widget, type);
    QAccessible::updateAccessibility(&event);
}

} // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(gameAccessible);
        return true;
    }();
    (void)installed;
}

void announce(QWidget& label) {
    send(label, QAccessible::ObjectShow);
}

void nameChanged(QWidget& widget) {
    send(widget, QAccessible::NameChanged);
}

} // namespace app
