// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#include "common/qt_messages.h"

#include <atomic>
#include <mutex>
#include <utility>

namespace common {

namespace {

thread_local const HoldQtMessages* holding = nullptr; // this thread's innermost span
std::atomic<QtMessageHandler> before{nullptr};
std::once_flag installed;

} // namespace

HoldQtMessages::HoldQtMessages(Hold hold) : hold_(std::move(hold)), outer_(holding) {
    // Once only, so the handler before is never this one: a message cannot go round in a circle.
    // Qt gives its own handler back when none was installed.
    std::call_once(installed, [] { before = qInstallMessageHandler(holdOrPassOn); });
    holding = this;
}

HoldQtMessages::~HoldQtMessages() {
    holding = outer_;
}

void HoldQtMessages::passOn(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    // None only for a message of another thread while the first hold is installing the handler.
    if (const QtMessageHandler handler = before.load())
        handler(type, context, message);
}

void HoldQtMessages::holdOrPassOn(QtMsgType type, const QMessageLogContext& context,
                                  const QString& message) {
    // Qt itself writes what a handler makes it say straight to stderr, without a handler.
    if (const HoldQtMessages* const span = holding)
        span->hold_(type, context, message);
    else
        passOn(type, context, message);
}

} // namespace common
