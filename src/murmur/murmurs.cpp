#include "murmur/murmurs.h"

#include "platform/report.h"
#include "platform/text_file.h"

namespace murmur {

Murmurs::Murmurs(platform::Label& lblSay, platform::RandomSource& random)
    : LblSay(lblSay), random_(random) {}

void Murmurs::LoadLines(const std::string& path) {
    std::optional<platform::TextFile> file = platform::TextFile::open(path);
    if (!file) {
        platform::reportFileProblem(path, "cannot be read; the murmurs stay empty");
        return;
    }
    for (int i = 0; i < LineCount; ++i) {
        std::optional<std::string> line = file->readLine();
        if (!line) {
            platform::reportFileProblem(path, "has only " + std::to_string(i) +
                                                  " of 15 lines; the rest stay empty");
            return;
        }
        std::string& murmur = Lines[static_cast<std::size_t>(i)];
        murmur = platform::firstCharacters(*line, MaxLineCharacters);
        if (murmur.size() < line->size()) {
            platform::reportFileProblem(path, "line " + std::to_string(i + 1) +
                                                  " is longer than 4096 characters; only its "
                                                  "first 4096 are murmured");
        }
    }
}

void Murmurs::timLbl_Timer() {
    const int i = platform::drawFrom(random_, LineCount);
    LblSay.setCaption(Lines[static_cast<std::size_t>(i)]);
}

} // namespace murmur
