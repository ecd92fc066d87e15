// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT
#include "platform/accessibility.h"

#include "platform/controls.h"
#include "platform/form.h"

#include <QAccessibleWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace platform {

namespace {

const WindowlessAccessibility* windowlessOf(const QWidget& widget) {
    const auto* window = dynamic_cast<const FormSurface*>(widget.window());
    return window ? window->form().accessibility() : nullptr;
}

// The children a screen reader finds on a surface, its visible windowed controls and its
// windowless objects, in reading order: column by column, each from the top down. Hidden
// controls, such as a picture box that only measures pictures, stay out.
std::vector<QAccessibleInterface*> childrenOn(QWidget& surface) {
    std::vector<QAccessibleInterface*> children;
    for (QWidget* widget : surface.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QAccessibleInterface* child = QAccessible::queryAccessibleInterface(widget);
        if (child && !widget->isHidden()) {
            children.push_back(child);
        }
    }
    if (const WindowlessAccessibility* windowless = windowlessOf(surface)) {
        const auto objects = windowless->childrenOf(surface);
        children.insert(children.end(), objects.begin(), objects.end());
    }
    std::stable_sort(children.begin(), children.end(), [](auto* a, auto* b) {
        const QRect first = a->rect();
        const QRect second = b->rect();
        return std::pair(first.left(), first.top()) < std::pair(second.left(), second.top());
    });
    return children;
}

// A surface whose children are the ones above. The window is one, as a fixed dialog named by
// its caption: a screen reader speaks every new caption of a frame, three times a second here,
// while a dialog's caption it reads as the context of each announcement.
class SurfaceAccessible : public QAccessibleWidget {
public:
    SurfaceAccessible(QWidget& surface, QAccessible::Role role)
        : QAccessibleWidget(&surface, role) {}

    int childCount() const override { return static_cast<int>(childrenOn(*widget()).size()); }

    QAccessibleInterface* child(int index) const override {
        const auto children = childrenOn(*widget());
        return index >= 0 && index < static_cast<int>(children.size())
                   ? children[static_cast<std::size_t>(index)]
                   : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto children = childrenOn(*widget());
        const auto found = std::find(children.begin(), children.end(), child);
        return found == children.end() ? -1 : static_cast<int>(found - children.begin());
    }
};

// A picture box that takes clicks is a button: pressing it is a click.
class PictureAccessible final : public SurfaceAccessible {
public:
    explicit PictureAccessible(PictureSurface& surface)
        : SurfaceAccessible(surface, QAccessible::Graphic), surface_(surface) {}

    QAccessible::Role role() const override {
        return takesClicks() ? QAccessible::Button : QAccessible::Graphic;
    }

    QStringList actionNames() const override {
        QStringList names = SurfaceAccessible::actionNames();
        if (takesClicks()) {
            names.prepend(pressAction());
        }
        return names;
    }

    void doAction(const QString& action) override {
        if (action == pressAction() && takesClicks()) {
            surface_.box().onClick();
        } else {
            SurfaceAccessible::doAction(action);
        }
    }

private:
    bool takesClicks() const { return static_cast<bool>(surface_.box().onClick); }

    PictureSurface& surface_;
};

QAccessibleInterface* surfaceFactory(const QString&, QObject* object) {
    if (auto* window = dynamic_cast<FormSurface*>(object)) {
        return new SurfaceAccessible(*window, QAccessible::Dialog);
    }
    if (auto* picture = dynamic_cast<PictureSurface*>(object)) {
        return new PictureAccessible(*picture);
    }
    return nullptr;
}

// A windowless object: lies in its container and has no children.
class WindowlessAccessible : public QAccessibleInterface {
public:
    explicit WindowlessAccessible(const WindowlessControl& control) : control_(control) {}

    bool isValid() const override { return true; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return surface().window()->windowHandle(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(&surface());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        const QRect area = control_.pixelRect();
        return QRect(surface().mapToGlobal(area.topLeft()), area.size());
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !control_.visible() || !surface().isVisible();
        return state;
    }

protected:
    // Sends a name-changed event when the name is not the one last sent.
    bool nameChanged() {
        const QString name = text(QAccessible::Name);
        if (name == lastName_) {
            return false;
        }
        lastName_ = name;
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
        return true;
    }

private:
    QWidget& surface() const { return control_.container().surface(); }

    const WindowlessControl& control_;
    QString lastName_;
};

// A label read out whenever its text changes. Screen readers speak an object with the
// notification role when it shows, wherever the focus is, and keep it in their list of
// notifications; Qt 6.4 has no announcement of its own.
class AnnouncedLabelAccessible final : public WindowlessAccessible {
public:
    explicit AnnouncedLabelAccessible(Label& label)
        : WindowlessAccessible(label), label_(label), visible_(label.visible()) {
        label.onChange = [this] { changed(); };
    }
    ~AnnouncedLabelAccessible() override { label_.onChange = nullptr; }

    QAccessible::Role role() const override { return QAccessible::Notification; }

    // The text with its line breaks as line feeds.
    QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name) {
            return {};
        }
        return QString::fromStdString(label_.caption()).replace(QStringLiteral("\r\n"), "\n");
    }

private:
    void changed() {
        const bool visibleNow = label_.visible();
        const bool renamed = nameChanged();
        if (visibleNow && renamed && !label_.caption().empty()) {
            send(QAccessible::ObjectShow); // the announcement
        } else if (visibleNow != visible_) {
            send(visibleNow ? QAccessible::ObjectShow : QAccessible::ObjectHide);
        }
        visible_ = visibleNow;
    }

    void send(QAccessible::Event type) {
        QAccessibleEvent event(this, type);
        QAccessible::updateAccessibility(&event);
    }

    Label& label_;
    bool visible_;
};

// What a bar reads: its fill's height against its frame's, in whole steps from 0 to `ceiling`.
int barValue(const Shape& fill, const Shape& frame, int ceiling) {
    if (frame.height() <= 0) {
        return 0;
    }
    const auto steps = std::lround(fill.height() / frame.height() * ceiling);
    return static_cast<int>(std::clamp<long>(steps, 0, ceiling));
}

// A bar: named by its label, read as a value from 0 to its ceiling.
class BarAccessible final : public WindowlessAccessible, public QAccessibleValueInterface {
public:
    BarAccessible(Label& name, Shape& fill, const Shape& frame, int ceiling)
        : WindowlessAccessible(frame), name_(name), fill_(fill), frame_(frame), ceiling_(ceiling),
          lastValue_(value()) {
        name.onChange = [this] { nameChanged(); };
        fill.onChange = [this] { valueMayHaveChanged(); };
    }
    ~BarAccessible() override {
        name_.onChange = nullptr;
        fill_.onChange = nullptr;
    }

    QAccessible::Role role() const override { return QAccessible::ProgressBar; }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name ? QString::fromStdString(name_.caption()) : QString();
    }
    QAccessible::State state() const override {
        QAccessible::State state = WindowlessAccessible::state();
        state.readOnly = true;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this)
                                                   : nullptr;
    }

    QVariant currentValue() const override { return value(); }
    void setCurrentValue(const QVariant&) override {} // the player cannot set a mood
    QVariant maximumValue() const override { return ceiling_; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    int value() const { return barValue(fill_, frame_, ceiling_); }

    // The game redraws a bar also when its value stays; only a new value is sent.
    void valueMayHaveChanged() {
        const int now = value();
        if (now == lastValue_) {
            return;
        }
        lastValue_ = now;
        QAccessibleValueChangeEvent event(this, now);
        QAccessible::updateAccessibility(&event);
    }

    Label& name_;
    Shape& fill_;
    const Shape& frame_;
    int ceiling_;
    int lastValue_;
};

} // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(surfaceFactory);
        return true;
    }();
    (void)installed;
}

void captionChanged(QWidget& window) {
    QAccessibleEvent event(&window, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

WindowlessAccessibility::~WindowlessAccessibility() {
    for (const Child& child : children_) {
        QAccessible::deleteAccessibleInterface(child.id);
    }
}

void WindowlessAccessibility::addBar(Label& name, Shape& fill, const Shape& frame, int ceiling) {
    barNames_.push_back(&name);
    add(frame.container(), new BarAccessible(name, fill, frame, ceiling));
}

void WindowlessAccessibility::addAnnouncedLabel(Label& label) {
    add(label.container(), new AnnouncedLabelAccessible(label));
}

bool WindowlessAccessibility::namesABar(const Label& label) const {
    return std::find(barNames_.begin(), barNames_.end(), &label) != barNames_.end();
}

// Registered at once, so that the events of an object nobody has asked about yet still reach
// a screen reader.
void WindowlessAccessibility::add(const Container& container, QAccessibleInterface* object) {
    children_.push_back(
        {&container.surface(), object, QAccessible::registerAccessibleInterface(object)});
}

std::vector<QAccessibleInterface*>
WindowlessAccessibility::childrenOf(const QWidget& surface) const {
    std::vector<QAccessibleInterface*> objects;
    for (const Child& child : children_) {
        if (child.surface == &surface) {
            objects.push_back(child.object);
        }
    }
    return objects;
}

} // namespace platform
