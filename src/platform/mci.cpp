#include "platform/mci.h"

#include "platform/report.h"
#include "platform/wave_device.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <span>

namespace platform {

namespace {

// Enough for the longest command we understand: open "path" type t alias a notify.
constexpr std::size_t maxWords = 8;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

bool hasWaveExtension(std::string_view path) {
    constexpr std::string_view extension = ".wav";
    return path.size() > extension.size() &&
           sameWord(path.substr(path.size() - extension.size()), extension);
}

std::int32_t parseMilliseconds(std::string_view word, std::int64_t& milliseconds) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), milliseconds);
    if (error != std::errc{} || end != word.data() + word.size() || milliseconds < 0)
        return mci_error::badInteger;
    return 0;
}

// Writes `text` and its NUL into the caller's buffer, or nothing if it does not fit.
std::int32_t writeReply(std::string_view text, char* reply, std::uint32_t replyLength) {
    if (reply == nullptr || replyLength == 0)
        return 0;
    if (text.size() >= replyLength) {
        reply[0] = '\0';
        return mci_error::paramOverflow;
    }
    std::memcpy(reply, text.data(), text.size());
    reply[text.size()] = '\0';
    return 0;
}

std::string_view modeWord(DeviceMode mode) {
    switch (mode) {
    case DeviceMode::Playing:
        return "playing";
    case DeviceMode::Stopped:
        return "stopped";
    case DeviceMode::NotReady:
        break;
    }
    return "not ready";
}

} // namespace

// A command split into words without copying: the verb, the device (a path or
// an alias, quotes removed) and the options that follow.
struct MciCommandInterpreter::Command {
    std::array<std::string_view, maxWords> words{};
    std::size_t count = 0;

    std::string_view verb() const { return words[0]; }
    std::string_view device() const { return words[1]; }
    std::span<const std::string_view> options() const {
        return std::span(words).subspan(2, count - 2);
    }
};

namespace {

// A quoted word runs to the last double quote of the command, so that it may hold
// spaces and quotes (a path to a folder whose name has one); only one word can be
// quoted. A quote anywhere else, or text glued to the closing quote, makes the
// command malformed.
std::int32_t splitWords(std::string_view text, std::array<std::string_view, maxWords>& words,
                        std::size_t& count) {
    std::size_t at = 0;
    count = 0;
    while (true) {
        while (at < text.size() && isBlank(text[at]))
            ++at;
        if (at == text.size())
            return 0;
        if (count == words.size())
            return mci_error::unrecognizedKeyword;
        std::size_t end;
        if (text[at] == '"') {
            end = text.rfind('"');
            if (end == at)
                return mci_error::noClosingQuote;
            words[count++] = text.substr(at + 1, end - at - 1);
            ++end;
            if (end < text.size() && !isBlank(text[end]))
                return mci_error::noClosingQuote;
        } else {
            end = at;
            while (end < text.size() && !isBlank(text[end]) && text[end] != '"')
                ++end;
            if (end < text.size() && text[end] == '"')
                return mci_error::noClosingQuote;
            words[count++] = text.substr(at, end - at);
        }
        at = end;
    }
}

} // namespace

const char* describeMciError(std::int32_t code) {
    switch (code) {
    case 0:
        return "no error";
    case mci_error::unrecognizedKeyword:
        return "unrecognized keyword";
    case mci_error::unrecognizedCommand:
        return "unrecognized command";
    case mci_error::hardware:
        return "the audio output failed";
    case mci_error::invalidDeviceName:
        return "no device is open under that alias";
    case mci_error::deviceOpen:
        return "the alias is already in use";
    case mci_error::cannotLoadDriver:
        return "unknown device type";
    case mci_error::missingCommandString:
        return "empty command";
    case mci_error::paramOverflow:
        return "the reply buffer is too small";
    case mci_error::badInteger:
        return "bad number";
    case mci_error::missingParameter:
        return "missing parameter";
    case mci_error::fileNotFound:
        return "file not found";
    case mci_error::deviceNotReady:
        return "the device is not ready";
    case mci_error::noClosingQuote:
        return "badly placed double quote";
    case mci_error::invalidFile:
        return "not a playable wave file";
    case mci_error::unsupportedFormat:
        return "unsupported sound format";
    default:
        return "unknown error";
    }
}

MciCommandInterpreter::MciCommandInterpreter()
    : MciCommandInterpreter([] { return std::make_unique<WaveDevice>(); }) {}

MciCommandInterpreter::MciCommandInterpreter(SoundDeviceFactory makeWaveDevice)
    : makeWaveDevice_(std::move(makeWaveDevice)) {}

MciCommandInterpreter::~MciCommandInterpreter() = default;

std::int32_t MciCommandInterpreter::mciSendStringA(const char* text, char* reply,
                                                   std::uint32_t replyLength,
                                                   std::intptr_t /*callbackWindow*/) {
    if (text == nullptr)
        return mci_error::missingCommandString;
    Command command;
    if (const auto error = splitWords(text, command.words, command.count); error != 0)
        return error;
    if (command.count == 0)
        return mci_error::missingCommandString;

    const auto verb = command.verb();
    const bool known = sameWord(verb, "open") || sameWord(verb, "close") ||
                       sameWord(verb, "play") || sameWord(verb, "seek") || sameWord(verb, "status");
    if (!known)
        return mci_error::unrecognizedCommand;
    if (command.count < 2)
        return mci_error::missingParameter;

    if (sameWord(verb, "status"))
        return status(command, reply, replyLength);
    std::int32_t result;
    if (sameWord(verb, "open"))
        result = open(command);
    else if (sameWord(verb, "close"))
        result = close(command);
    else if (sameWord(verb, "play"))
        result = play(command);
    else
        result = seek(command);
    if (result == 0)
        writeReply("", reply, replyLength);
    return result;
}

std::int32_t MciCommandInterpreter::open(const Command& command) {
    const auto path = command.device();
    auto alias = path;
    std::string_view type;
    const auto options = command.options();
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (sameWord(options[i], "notify"))
            continue;
        const bool takesValue = sameWord(options[i], "alias") || sameWord(options[i], "type");
        if (!takesValue)
            return mci_error::unrecognizedKeyword;
        if (i + 1 == options.size())
            return mci_error::missingParameter;
        (sameWord(options[i], "alias") ? alias : type) = options[i + 1];
        ++i;
    }

    std::int32_t result = 0;
    if (type.empty() ? !hasWaveExtension(path) : !sameWord(type, "waveaudio"))
        result = mci_error::cannotLoadDriver;
    else if (find(alias) != nullptr)
        result = mci_error::deviceOpen;
    auto device = result == 0 ? makeWaveDevice_() : nullptr;
    if (device)
        result = device->open(std::string(path));
    if (result != 0) {
        reportFileProblem(std::string(path), describeMciError(result));
        return result;
    }
    devices_.push_back({std::string(alias), std::move(device)});
    return 0;
}

std::int32_t MciCommandInterpreter::close(const Command& command) {
    for (const auto option : command.options())
        if (!sameWord(option, "notify"))
            return mci_error::unrecognizedKeyword;
    if (sameWord(command.device(), "all")) {
        devices_.clear();
        return 0;
    }
    const auto opened = std::find_if(devices_.begin(), devices_.end(), [&](const auto& entry) {
        return sameWord(entry.alias, command.device());
    });
    if (opened == devices_.end())
        return mci_error::invalidDeviceName;
    devices_.erase(opened);
    return 0;
}

std::int32_t MciCommandInterpreter::play(const Command& command) {
    SoundDevice* device = find(command.device());
    if (device == nullptr)
        return mci_error::invalidDeviceName;
    const auto options = command.options();
    bool hasStart = false;
    std::int64_t start = 0;
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (sameWord(options[i], "notify"))
            continue;
        if (!sameWord(options[i], "from"))
            return mci_error::unrecognizedKeyword;
        if (i + 1 == options.size())
            return mci_error::missingParameter;
        if (const auto error = parseMilliseconds(options[++i], start); error != 0)
            return error;
        hasStart = true;
    }
    if (hasStart)
        if (const auto error = device->seek(start); error != 0)
            return error;
    return device->play();
}

std::int32_t MciCommandInterpreter::seek(const Command& command) {
    SoundDevice* device = find(command.device());
    if (device == nullptr)
        return mci_error::invalidDeviceName;
    const auto options = command.options();
    bool hasTarget = false;
    std::int64_t target = 0;
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (sameWord(options[i], "notify"))
            continue;
        if (!sameWord(options[i], "to"))
            return mci_error::unrecognizedKeyword;
        if (i + 1 == options.size())
            return mci_error::missingParameter;
        ++i;
        if (!sameWord(options[i], "start"))
            if (const auto error = parseMilliseconds(options[i], target); error != 0)
                return error;
        hasTarget = true;
    }
    if (!hasTarget)
        return mci_error::missingParameter;
    return device->seek(target);
}

std::int32_t MciCommandInterpreter::status(const Command& command, char* reply,
                                           std::uint32_t replyLength) {
    const SoundDevice* device = find(command.device());
    if (device == nullptr)
        return mci_error::invalidDeviceName;
    bool asksMode = false;
    for (const auto option : command.options()) {
        if (sameWord(option, "mode"))
            asksMode = true;
        else if (!sameWord(option, "notify"))
            return mci_error::unrecognizedKeyword;
    }
    if (!asksMode)
        return mci_error::missingParameter;
    return writeReply(modeWord(device->mode()), reply, replyLength);
}

SoundDevice* MciCommandInterpreter::find(std::string_view alias) {
    const auto opened = std::find_if(devices_.begin(), devices_.end(), [&](const auto& entry) {
        return sameWord(entry.alias, alias);
    });
    return opened == devices_.end() ? nullptr : opened->device.get();
}

} // namespace platform
