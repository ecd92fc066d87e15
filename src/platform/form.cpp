// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "platform/form.h"

#include "platform/x11_hints.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <filesystem>

namespace platform {

namespace {

int twipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixel()));
}

} // namespace

// --- FormSurface -----------------------------------------------------------

FormSurface::FormSurface(Form& form) : form_(form) {
    installAccessibility();
}

bool FormSurface::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
        form_.shown();
        break;
    case QEvent::WindowActivate:
        form_.shown();
        form_.windowStateMayHaveChanged();
        break;
    case QEvent::WindowTitleChange:
        captionChanged(*this);
        break;
    case QEvent::Move:
    case QEvent::WindowStateChange:
    case QEvent::Expose:
        form_.windowStateMayHaveChanged();
        break;
    default:
        break;
    }
    return handled;
}

void FormSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    form_.paintSurface(painter);
}

void FormSurface::resizeEvent(QResizeEvent*) {
    form_.drawingAreaResized();
}

// --- Form ------------------------------------------------------------------

Form::Form(const FormDefinition& definition)
    : Container(surface_), surface_(*this),
      accessibility_(std::make_unique<WindowlessAccessibility>()),
      backColor_(resolve(SystemColour::WindowBackground)) {
    // A fixed dialog frame with a close button and no minimise or maximise button.
    surface_.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowCloseButtonHint);
    surface_.setAttribute(Qt::WA_QuitOnClose);
    surface_.setWindowTitle(QString::fromStdString(definition.caption));
    surface_.setWindowIcon(QIcon(QString::fromStdString(definition.icon)));
    outerPixels_ = QSize(twipsToPixels(definition.drawingArea.width),
                         twipsToPixels(definition.drawingArea.height));
    surface_.setFixedSize(outerPixels_);
    optionGroup_.setExclusive(true);
    for (const TimerDefinition& timer : definition.timers) {
        named_[timer.name] = std::make_unique<Timer>(timer.intervalMs, timer.enabled);
    }
    for (const ControlDefinition& control : definition.controls) {
        createControl(control);
    }
    applyTabOrder(definition);
}

// Screen readers lose the windowless objects first, then the windowed controls, so that nothing
// they ask about on the way reaches a control that is gone.
Form::~Form() {
    accessibility_.reset();
    qDeleteAll(surface_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

// The keyboard visits the windowed controls in their tab positions, skipping
// hidden and disabled ones; labels and shapes never take the focus. The window
// opens with the focus on the first of them.
void Form::applyTabOrder(const FormDefinition& definition) {
    std::vector<std::pair<int, QWidget*>> windowed;
    for (const ControlDefinition& control : definition.controls) {
        if (control.kind == ControlKind::OptionButton) {
            windowed.emplace_back(control.tabIndex, &optionButtons(control.name)(0).widget());
        } else if (control.kind == ControlKind::PictureBox) {
            windowed.emplace_back(control.tabIndex, &pictureBox(control.name).surface());
        }
    }
    std::sort(windowed.begin(), windowed.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < windowed.size(); ++i) {
        QWidget::setTabOrder(windowed[i - 1].second, windowed[i].second);
    }
    const auto first = std::find_if(windowed.begin(), windowed.end(), [](const auto& control) {
        return !control.second->isHidden() && control.second->isEnabled();
    });
    if (first != windowed.end()) {
        first->second->setFocus();
    }
}

Container& Form::containerNamed(const std::string& name) const {
    if (name.empty()) {
        return const_cast<Form&>(*this);
    }
    return pictureBox(name);
}

// What every kind takes from its definition is set last, once: whether it shows.
void Form::createControl(const ControlDefinition& definition) {
    Container& container = containerNamed(definition.container);
    Control* control = nullptr;
    switch (definition.kind) {
    case ControlKind::OptionButton: {
        auto option = std::make_unique<OptionButton>(container, definition.rect, optionGroup_, 0);
        option->setCaption(definition.text);
        option->setForeColor(resolve(definition.foreColor));
        option->setBackColor(resolve(definition.backColor));
        option->setValue(definition.selected);
        control = option.get();
        named_[definition.name] = std::make_unique<ControlArray<OptionButton>>(std::move(option));
        break;
    }
    case ControlKind::PictureBox: {
        auto box = std::make_unique<PictureBox>(container, definition.rect);
        box->setBackColor(resolve(definition.backColor));
        box->setAutoSize(definition.autoSize);
        if (!definition.picture.empty()) {
            box->setPicture(Picture::fromResource(QString::fromStdString(definition.picture),
                                                  definition.pictureSize));
        }
        box->surface().setAccessibleName(QString::fromStdString(definition.accessibleName));
        control = box.get();
        named_[definition.name] = std::move(box);
        break;
    }
    case ControlKind::Label: {
        auto label = std::make_unique<Label>(container, definition.rect);
        label->setAlignment(definition.alignment);
        label->setForeColor(resolve(definition.foreColor));
        label->setAutoSize(definition.autoSize);
        label->setCaption(definition.text);
        control = label.get();
        named_[definition.name] = std::make_unique<ControlArray<Label>>(std::move(label));
        break;
    }
    case ControlKind::Shape: {
        auto shape = std::make_unique<Shape>(container, definition.rect);
        shape->setFillStyle(definition.fillStyle);
        shape->setFillColor(resolve(definition.fillColor));
        shape->setBorderStyle(definition.borderStyle);
        shape->setBorderColor(resolve(definition.borderColor));
        control = shape.get();
        named_[definition.name] = std::make_unique<ControlArray<Shape>>(std::move(shape));
        break;
    }
    }
    control->setVisible(definition.visible);
}

void Form::describeBar(Label& name, Shape& fill, const Shape& frame, int ceiling) {
    accessibility_->addBar(name, fill, frame, ceiling);
}

// Every label that does not name a bar is read out when its text changes. Runs when the window
// first shows: by then every control exists and the bars are described.
void Form::announceFreeLabels() {
    for (const auto& [name, control] : named_) {
        const auto* array = std::get_if<std::unique_ptr<ControlArray<Label>>>(&control);
        if (array == nullptr) {
            continue;
        }
        const ControlArray<Label>& labels = **array;
        for (int i = 0; i <= labels.ubound(); ++i) {
            if (!accessibility_->namesABar(labels(i))) {
                accessibility_->addAnnouncedLabel(labels(i));
            }
        }
    }
}

void Form::setCaption(const std::string& caption) {
    surface_.setWindowTitle(QString::fromStdString(caption));
}

std::string Form::caption() const {
    return surface_.windowTitle().toStdString();
}

void Form::setOuterSize(double widthTwips, double heightTwips) {
    outerPixels_ = QSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
    fitDrawingAreaToOuterSize();
}

// The drawing area is what the frame leaves of the outer size. A window
// manager that did not tell the frame before the window was mapped has it
// corrected once it has framed the window.
void Form::fitDrawingAreaToOuterSize() {
    const QSize inner(outerPixels_.width() - frame_.left() - frame_.right(),
                      outerPixels_.height() - frame_.top() - frame_.bottom());
    if (inner != surface_.size()) {
        surface_.setFixedSize(inner);
    }
}

void Form::setBackColor(Colour colour) {
    backColor_ = colour;
    surface_.update();
}

// The frame is asked for before the load, so that the layout sizes the drawing
// area once and the window is mapped at its final outer size.
void Form::show() {
    if (!loaded_) {
        loaded_ = true;
        frame_ = frameBeforeFirstMap(surface_);
        if (onLoad) {
            onLoad();
        }
    }
    markSkipTaskbar(surface_);
    surface_.show();
    markSkipTaskbar(surface_);
}

void Form::shown() {
    if (activated_) {
        return;
    }
    activated_ = true;
    announceFreeLabels();
    if (onActivate) {
        onActivate();
    }
}

void Form::windowStateMayHaveChanged() {
    if (!surface_.isVisible()) {
        return;
    }
    const QRect outer = surface_.frameGeometry();
    const QRect inner = surface_.geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    if (frame == frame_ || frame.left() < 0 || frame.top() < 0) {
        return;
    }
    frame_ = frame;
    fitDrawingAreaToOuterSize();
    markSkipTaskbar(surface_);
}

void Form::paintSurface(QPainter& painter) {
    painter.fillRect(surface_.rect(), toQColor(backColor_));
    paintWindowless(painter);
}

double screenWidthTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() * twipsPerPixel() : 0;
}

// The bytes the kernel has for the executable's path: a folder name in Shift-JIS, as unzip leaves
// a Windows archive's, comes through whole where a conversion to text would drop it.
std::string applicationFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    return executable.parent_path().string();
}

} // namespace platform
