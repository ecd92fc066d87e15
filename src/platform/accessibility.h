// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessible>
#include <memory>
#include <vector>

class QAccessibleInterface;
class QWidget;

namespace platform {

class Container;
class Label;
class Shape;

// Hands screen readers our own view of the window (a dialog named by its caption) and of picture
// boxes (a picture box that takes clicks is a button that can be pressed). Once is enough.
void installAccessibility();

// Tells screen readers that a window's caption changed, which Qt does not.
void captionChanged(QWidget& window);

// The windowless controls that a screen reader gets as objects of their own, as children of
// their container: bars, each with the value it shows, and labels that announce every new text.
// Frames, fills and the labels that name bars are part of their bar, not objects of their own.
class WindowlessAccessibility {
public:
    WindowlessAccessibility() = default;
    ~WindowlessAccessibility();
    WindowlessAccessibility(const WindowlessAccessibility&) = delete;
    WindowlessAccessibility& operator=(const WindowlessAccessibility&) = delete;

    // The bar is named by `name`'s text; the fill and the frame lie in the same container.
    void addBar(Label& name, Shape& fill, const Shape& frame, int ceiling);
    void addAnnouncedLabel(Label& label);
    bool namesABar(const Label& label) const;

    // The objects that lie in the container with this surface, in the order they were added.
    std::vector<QAccessibleInterface*> childrenOf(const QWidget& surface) const;

private:
    struct Child {
        const QWidget* surface;
        QAccessibleInterface* object;
        QAccessible::Id id;
    };
    void add(const Container& container, QAccessibleInterface* object);

    std::vector<Child> children_;
    std::vector<const Label*> barNames_;
};

} // namespace platform
