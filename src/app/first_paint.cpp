// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "app/first_paint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace app {
namespace {

class FirstPaint final : public QObject {
public:
    FirstPaint(QWidget& window, std::function<void()> then)
        : QObject(&window), then_(std::move(then)) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && then_) {
            QTimer::singleShot(0, std::exchange(then_, nullptr)); // after the whole painting
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> then_;
};

} // namespace

void afterFirstPaint(QWidget& window, std::function<void()> then) {
    new FirstPaint(window, std::move(then));
}

} // namespace app
