// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

// Qt's messages held for a span: each message goes to the innermost span of its own thread, and
// the rest to the handler that was installed before.

#include "common/qt_messages.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <latch>
#include <mutex>
#include <thread>

using common::HoldQtMessages;

namespace {

std::mutex passedMutex;
QStringList passedOn;

void recordPassedOn(QtMsgType, const QMessageLogContext&, const QString& message) {
    const std::lock_guard lock(passedMutex);
    passedOn << message;
}

void say(const QString& message) {
    qWarning("%s", qPrintable(message));
}

// Only its own thread writes to it while its span lives.
HoldQtMessages::Hold into(QStringList& held) {
    return
        [&held](QtMsgType, const QMessageLogContext&, const QString& message) { held << message; };
}

} // namespace

TEST(HoldQtMessages, EachMessageGoesToTheInnermostSpanOfItsThread) {
    qInstallMessageHandler(recordPassedOn); // before the first hold: the handler it passes on to
    QStringList outer, inner, one, two;
    {
        const HoldQtMessages holdOuter(into(outer));
        say("outer, first");
        {
            const HoldQtMessages holdInner(into(inner));
            say("inner");
            std::latch bothHolding(2), bothSaid(2);
            const auto holdOnAThread = [&](QStringList& held, const QString& name) {
                {
                    const HoldQtMessages hold(into(held));
                    bothHolding.arrive_and_wait();
                    say(name);
                    bothSaid.arrive_and_wait();
                }
                say(name + ", after its span");
            };
            std::jthread first(holdOnAThread, std::ref(one), QStringLiteral("one"));
            std::jthread second(holdOnAThread, std::ref(two), QStringLiteral("two"));
        }
        say("outer, second");
    }
    say("after every span");
    passedOn.sort();

    const struct {
        const char* who;
        const QStringList& got;
        QStringList expected;
    } cases[] = {
        {"outer span", outer, {"outer, first", "outer, second"}},
        {"inner span", inner, {"inner"}},
        {"thread one's span", one, {"one"}},
        {"thread two's span", two, {"two"}},
        {"passed on", passedOn, {"after every span", "one, after its span", "two, after its span"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.who);
        EXPECT_EQ(c.got.join(" | ").toStdString(), c.expected.join(" | ").toStdString());
    }
}
