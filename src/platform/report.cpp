#include "platform/report.h"

#include <cstdio>
#include <mutex>
#include <set>

namespace platform {

void reportFileProblem(const std::string& path, const std::string& problem) {
    static std::mutex mutex;
    static std::set<std::string> reported;
    const std::lock_guard lock(mutex);
    if (reported.insert(path).second) {
        std::fprintf(stderr, "sorawata: %s: %s\n", path.c_str(), problem.c_str());
    }
}

void reportAudioOutput(const std::string& news) {
    std::fprintf(stderr, "sorawata: %s\n", news.c_str());
}

} // namespace platform
