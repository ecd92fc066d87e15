// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "sound/mci_commands.h"

#include <cstring>
#include <string>
#include <vector>

struct SentCommand {
    std::string text;
    bool hasReply;
    std::uint32_t replyLength;
    std::intptr_t callbackWindow;
    std::int32_t result;
};

// Records every music command and its result. A command goes on to the backend when there is
// one; without, the status query is answered with `modeReply` (none: it fails with `result`) and
// every other command with `result`.
class RecordingMci final : public music::MciInterface {
public:
    RecordingMci() = default;
    explicit RecordingMci(music::MciInterface& backend) : backend_(&backend) {}

    std::int32_t mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                std::intptr_t callbackWindow) override {
        std::int32_t answer = result;
        if (backend_ != nullptr) {
            answer = backend_->mciSendStringA(command, reply, replyLength, callbackWindow);
        } else if (reply != nullptr && modeReply != nullptr) {
            std::memcpy(reply, modeReply, std::strlen(modeReply) + 1);
            answer = 0;
        }
        sent.push_back({command, reply != nullptr, replyLength, callbackWindow, answer});
        return answer;
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const SentCommand& command : sent)
            out.push_back(command.text);
        return out;
    }

    std::vector<SentCommand> sent;
    const char* modeReply = "playing";
    std::int32_t result = 0;

private:
    music::MciInterface* backend_ = nullptr;
};
