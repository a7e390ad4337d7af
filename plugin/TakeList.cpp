#include "TakeList.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

constexpr std::size_t kMaxSidecarBytes = 1U << 20U;

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool readSmallFile(const std::string& path, std::string& text, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open it: " + std::string(std::strerror(errno));
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    if (text.size() > kMaxSidecarBytes) {
        error = "it is too large for a sidecar";
        return false;
    }
    return true;
}

std::string fileName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string seconds(double value) {
    if (value < 0.0) {
        return "?";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

}  // namespace

std::string TakeList::journalFolder(const std::string& projectRoot, const std::string& scenePath) {
    std::string name = fileName(scenePath);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    std::string root = projectRoot;
    if (!root.empty() && root.back() != '/') {
        root += '/';
    }
    return root + "data/tulvex/" + (name.empty() ? "untitled" : name);
}

double TakeList::unitsPerSecond(const std::string& unit) {
    static const std::pair<const char*, double> kUnits[] = {
        {"hour", 1.0 / 3600.0}, {"min", 1.0 / 60.0}, {"sec", 1.0},   {"millisec", 1000.0},
        {"game", 15.0},         {"film", 24.0},      {"pal", 25.0},  {"ntsc", 30.0},
        {"show", 48.0},         {"palf", 50.0},      {"ntscf", 60.0}};
    for (const auto& [name, rate] : kUnits) {
        if (unit == name) {
            return rate;
        }
    }
    // "<rate>fps", as Maya names the other frame rates.
    if (endsWith(unit, "fps") && unit.size() > 3) {
        char* end = nullptr;
        const std::string number = unit.substr(0, unit.size() - 3);
        const double rate = std::strtod(number.c_str(), &end);
        if (end == number.c_str() + number.size() && rate > 0.0) {
            return rate;
        }
    }
    return 0.0;
}

TakeList::Row TakeList::rowOf(const TakeSidecar& sidecar, const std::string& sidecarPath) {
    Row row;
    row.take = sidecar.take;
    row.node = sidecar.node;
    row.frames = sidecar.samples;
    row.gaps = sidecar.gaps;
    row.state = sidecar.state;
    row.sidecarPath = sidecarPath;
    const double rate = unitsPerSecond(sidecar.timeUnit);
    if (sidecar.samples == 0) {
        row.seconds = 0.0;
    } else if (sidecar.hasSummary && rate > 0.0) {
        // Each sample stands for one step of the timeline, the last one included.
        row.seconds = (sidecar.lastTime - sidecar.firstTime + sidecar.playbackStep) / rate;
    }
    return row;
}

std::vector<TakeList::Row> TakeList::read(const std::string& folder, const std::string& node,
                                          std::vector<std::string>& problems) {
    std::vector<Row> rows;
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr) {
        return rows;  // no take was journaled for this scene
    }
    std::vector<std::string> names;
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (endsWith(name, ".json") && (node.empty() || name.rfind(node + "_take", 0) == 0)) {
            names.push_back(name);
        }
    }
    closedir(directory);
    for (const std::string& name : names) {
        std::string path = folder;
        path += '/';
        path += name;
        std::string text;
        std::string error;
        TakeSidecar sidecar;
        if (!readSmallFile(path, text, error) || !TakeSidecar::fromJson(text, sidecar, error)) {
            problems.push_back(path.append(" is left out: ").append(error));
            continue;
        }
        // A node named like the start of another's name ("a" and "a_take") is told apart here.
        if (!node.empty() && sidecar.node != node) {
            continue;
        }
        rows.push_back(rowOf(sidecar, path));
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return a.node != b.node ? a.node < b.node : a.take < b.take;
    });
    return rows;
}

bool TakeList::writerAlive(const std::string& sidecarPath) {
    const std::string pcap = sidecarPath.substr(0, sidecarPath.size() - 5) + ".pcap";
    const int descriptor = open(pcap.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    // The writer holds an exclusive lock for as long as its process lives.
    const bool alive = flock(descriptor, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(descriptor);
    return alive;
}

std::vector<TakeList::Row> TakeList::unfinished(const std::vector<Row>& rows) {
    std::vector<Row> found;
    for (const Row& row : rows) {
        if (row.state == "recording" && endsWith(row.sidecarPath, ".json") &&
            !writerAlive(row.sidecarPath)) {
            found.push_back(row);
        }
    }
    return found;
}

std::string TakeList::rowText(const Row& row) {
    return std::to_string(row.take) + "\t" + seconds(row.seconds) + "\t" +
           std::to_string(row.frames) + "\t" + std::to_string(row.gaps) + "\t" + row.state + "\t" +
           row.node + "\t" + row.sidecarPath;
}

std::string TakeList::unfinishedMessage(const std::vector<Row>& rows) {
    if (rows.empty()) {
        return std::string();
    }
    std::string message =
        std::to_string(rows.size()) +
        (rows.size() == 1 ? " unfinished take found: " : " unfinished takes found: ");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        message +=
            (r > 0 ? "; " : "") + rows[r].sidecarPath + ", " + seconds(rows[r].seconds) + " s";
    }
    return message;
}

bool TakeList::markRecovered(const std::string& sidecarPath,
                             const JournalReader::Contents& contents, std::string& error) {
    TakeSidecar sidecar = contents.sidecar;
    sidecar.state = "incomplete";
    sidecar.reason = "recovered: the take's writer stopped before the take ended";
    sidecar.samples = contents.samples.size();
    sidecar.datagrams = contents.datagrams;
    sidecar.hasSummary = false;
    sidecar.gaps = 0;
    for (const SampleMapFormat::Sample& sample : contents.samples) {
        sidecar.summarise(sample.time);
    }
    const std::string text = sidecar.toJson();
    const std::string temporary = sidecarPath + ".tmp";
    const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        error = "cannot write " + temporary + ": " + std::strerror(errno);
        return false;
    }
    std::size_t done = 0;
    int failure = 0;
    while (done < text.size() && failure == 0) {
        const ssize_t written = write(descriptor, text.data() + done, text.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
        } else if (written < 0 && errno != EINTR) {
            failure = errno;
        } else if (written == 0) {
            failure = EIO;
        }
    }
    if (failure == 0 && fsync(descriptor) != 0) {
        failure = errno;
    }
    close(descriptor);
    if (failure == 0 && rename(temporary.c_str(), sidecarPath.c_str()) != 0) {
        failure = errno;
    }
    if (failure != 0) {
        unlink(temporary.c_str());
        error = "cannot write " + sidecarPath + ": " + std::strerror(failure);
        return false;
    }
    return true;
}
