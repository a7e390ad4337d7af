#include "HostMelOutput.h"

#include <cstdio>
#include <utility>

namespace mayahost {

void HostMelOutput::keep(std::vector<std::string>& list, const std::string& text) {
    if (list.size() >= kKept) {
        list.erase(list.begin());
    }
    list.push_back(text);
}

void HostMelOutput::print(const std::string& text) {
    if (echo_) {
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
    }
    if (printed_.size() > kKept * 100) {
        printed_.erase(0, printed_.size() / 2);
    }
    printed_ += text;
}

void HostMelOutput::warning(const std::string& message, const std::string& line) {
    if (echo_) {
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
    }
    keep(warnings_, message);
    keep(lines_, line);
}

void HostMelOutput::error(const std::string& message, const std::string& line) {
    if (echo_) {
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
    }
    keep(errors_, message);
    keep(lines_, line);
}

std::vector<std::string> HostMelOutput::takeErrors() {
    return std::exchange(errors_, {});
}

std::vector<std::string> HostMelOutput::takeWarnings() {
    return std::exchange(warnings_, {});
}

std::vector<std::string> HostMelOutput::takeLines() {
    return std::exchange(lines_, {});
}

std::string HostMelOutput::takePrinted() {
    return std::exchange(printed_, {});
}

}  // namespace mayahost
