// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QtGlobal>
#include <functional>

namespace common {

// What Qt and its plugins say (qWarning and the like), held for a span of the game's work. While a
// HoldQtMessages lives, the messages of its thread go to its `hold`, the innermost one's when they
// nest; other threads' messages, and all of them outside a span, pass on to the handler that was
// installed before (Qt's own writes to stderr). The first hold installs, once per run, the one
// handler that does this; make it while the program has one thread.
class HoldQtMessages {
public:
    using Hold = std::function<void(QtMsgType, const QMessageLogContext&, const QString&)>;

    explicit HoldQtMessages(Hold hold);
    ~HoldQtMessages();
    HoldQtMessages(const HoldQtMessages&) = delete;
    HoldQtMessages& operator=(const HoldQtMessages&) = delete;

    // To the handler installed before, as if nothing held the message.
    static void passOn(QtMsgType type, const QMessageLogContext& context, const QString& message);

private:
    static void holdOrPassOn(QtMsgType type, const QMessageLogContext& context,
                             const QString& message);

    const Hold hold_;
    const HoldQtMessages* const outer_;
};

} // namespace common
