// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/accessibility.h"
#include "platform/control_array.h"
#include "platform/controls.h"
#include "platform/form_definition.h"
#include "platform/report.h"
#include "platform/timer.h"

#include <QButtonGroup>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <variant>

namespace platform {

class Form;

// The top-level window: paints the background and the windowless controls,
// and reports showing, activation and the frame the window manager adds.
class FormSurface final : public QWidget {
public:
    explicit FormSurface(Form& form);
    Form& form() const { return form_; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Form& form_;
};

// A fixed dialog window built from its definition, with its controls and timers.
class Form final : public Container {
public:
    explicit Form(const FormDefinition& definition);
    ~Form() override;

    void setCaption(const std::string& caption);
    std::string caption() const;
    // The outer size, frame and caption included.
    void setOuterSize(double widthTwips, double heightTwips);
    void setBackColor(Colour colour);
    Colour backColor() const { return backColor_; }

    // The controls and timers by their names in the definition; a name the window does not have
    // for that kind is a programming error that ends the program.
    ControlArray<OptionButton>& optionButtons(const std::string& name) const {
        return named<ControlArray<OptionButton>>(name);
    }
    ControlArray<Label>& labels(const std::string& name) const {
        return named<ControlArray<Label>>(name);
    }
    ControlArray<Shape>& shapes(const std::string& name) const {
        return named<ControlArray<Shape>>(name);
    }
    PictureBox& pictureBox(const std::string& name) const { return named<PictureBox>(name); }
    Label& label(const std::string& name) const { return labels(name)(0); }
    Timer& timer(const std::string& name) const { return named<Timer>(name); }

    // A bar that screen readers read as one value from 0 to `ceiling`, named by `name`'s text:
    // the height of `fill` against that of `frame`.
    void describeBar(Label& name, Shape& fill, const Shape& frame, int ceiling);
    // What screen readers get of the windowless controls; none once the window is going.
    const WindowlessAccessibility* accessibility() const { return accessibility_.get(); }

    // Raised once before the window is first shown.
    std::function<void()> onLoad;
    // Raised once, when the window is first shown or first activated.
    std::function<void()> onActivate;

    // Loads the window (once) and shows it.
    void show();
    QWidget& widget() { return surface_; }

    // Used by the surface.
    void paintSurface(QPainter& painter);
    void windowStateMayHaveChanged();
    void shown();

private:
    using Named =
        std::variant<std::unique_ptr<ControlArray<OptionButton>>,
                     std::unique_ptr<ControlArray<Label>>, std::unique_ptr<ControlArray<Shape>>,
                     std::unique_ptr<PictureBox>, std::unique_ptr<Timer>>;

    template <class Kind> Kind& named(const std::string& name) const {
        const auto found = named_.find(name);
        if (found == named_.end() ||
            !std::holds_alternative<std::unique_ptr<Kind>>(found->second)) {
            fault("the window has no such control as " + name);
        }
        return *std::get<std::unique_ptr<Kind>>(found->second);
    }

    void createControl(const ControlDefinition& definition);
    void applyTabOrder(const FormDefinition& definition);
    void announceFreeLabels();
    Container& containerNamed(const std::string& name) const;
    void fitDrawingAreaToOuterSize();

    FormSurface surface_;
    QButtonGroup optionGroup_;
    std::unique_ptr<WindowlessAccessibility> accessibility_;
    Colour backColor_;
    QSize outerPixels_;
    QMargins frame_;
    bool loaded_ = false;
    bool activated_ = false;
    std::map<std::string, Named> named_;
};

// The width of the screen in twips.
double screenWidthTwips();
// The folder that holds the executable (the real file, not a link to it), as the file system's
// bytes.
std::string applicationFolder();

} // namespace platform
