#include "HostSession.h"

#include <maya/MGlobal.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <mayahost/HostControl.h>
#include <mayahost/UiControl.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iomanip>
#include <sstream>

#include "AnimCurveKeySource.h"
#include "BoneTable.h"
#include "HostError.h"
#include "JournalReader.h"
#include "MayaAsciiWriter.h"
#include "Mel.h"
#include "PerformerNode.h"
#include "ProgressDisplay.h"
#include "SceneCollector.h"
#include "StopSignal.h"
#include "SummaryTable.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kRefreshWait(20);
// How often the nodes are asked for their counters: often enough for the status lines and
// to time a stopped stream to a tenth of a second, seldom enough to cost nothing.
constexpr std::chrono::milliseconds kStatisticsInterval(100);
// How often the panels' Bind buttons are looked at, as a user would: looking up every
// panel's button on every refresh cost more than the refreshes with many performers.
constexpr std::chrono::milliseconds kBindCheckInterval(100);
// The bake runs at the first refresh after the take ends; a node whose stream has stopped
// never asks for one, so switching it off (which evaluates it) bakes it instead.
constexpr std::chrono::seconds kBakeWait(3);
constexpr double kFilmFramesPerSecond = 24.0;
constexpr double kTakeStartFrame = 1.0;

constexpr const char* kPortInUse = "Port in Use";
constexpr const char* kNoDecodingLibrary = "Failed to import ZarnMotionFormat library";
constexpr const char* kShelf = "Tulvex";
constexpr int kIdleRounds = 20;

Clock::duration seconds(double value) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(value));
}

std::string joined(const std::vector<std::string>& texts) {
    std::string result;
    for (const std::string& text : texts) {
        result += (result.empty() ? "" : "; ") + text;
    }
    return result;
}

// A path as a MEL string literal.
std::string melQuoted(const std::string& text) {
    std::string literal = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            literal += '\\';
        }
        literal += c;
    }
    return literal + "\"";
}

std::string numberText(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

// Every digit of a double, for MEL that sets it.
std::string exactNumber(double value) {
    std::ostringstream text;
    text << std::setprecision(17) << value;
    return text.str();
}

}  // namespace

HostSession::HostSession(HostOptions options, ModuleLayout layout, ProgressDisplay& display)
    : mOptions(std::move(options)), mLayout(std::move(layout)), mDisplay(display) {}

HostSession::~HostSession() {
    shutdown();
}

void HostSession::run() {
    mOutput = std::make_unique<OutputFile>(mOptions.outputPath);
    if (!mOptions.melPath.empty() && !std::filesystem::is_regular_file(mOptions.melPath)) {
        throw HostError(ExitCode::kBadArguments, "--mel: there is no file " + mOptions.melPath);
    }
    loadModule();
    openProject();
    createNodes();
    goLive();
    waitForStreams();
    recordTake();
    bake();
    collect();
    runUserScript();
    // The curves are read from the scene as they are written, so before it goes.
    writeScene();
    shutdown();
}

void HostSession::rebake() {
    mOutput = std::make_unique<OutputFile>(mOptions.outputPath);
    JournalReader::Contents journal;
    std::string error;
    if (!JournalReader::read(mOptions.rebakePath, journal, error)) {
        throw HostError(ExitCode::kBadJournal, "cannot bake the journal again: " + error);
    }
    if (journal.samples.empty()) {
        throw HostError(ExitCode::kBadJournal, "cannot bake the journal again: " +
                                                   mOptions.rebakePath + " holds no sample");
    }
    mDisplay.note("Baking again " + mOptions.rebakePath + " (" +
                  std::to_string(journal.samples.size()) + " samples, " + journal.sidecar.state +
                  ")");
    keepRecordedOptions(journal.sidecar);
    loadModule();
    mOptions.performers = 1;
    createNodes();
    PerformerNode& node = *mNodes.front();
    const int deviceId = journal.sidecar.deviceId;
    if (deviceId != node.deviceId()) {
        Mel::run("setAttr " + node.name() + ".deviceId " + std::to_string(deviceId));
    }
    const std::string path = std::filesystem::absolute(mOptions.rebakePath).string();
    try {
        Mel::run("TulvexBakeTake -node " + node.name() + " -take " + melQuoted(path));
    } catch (const HostError& failed) {
        throw HostError(ExitCode::kBadJournal, failed.what());
    }
    idle();
    checkScriptErrors();
    if (curveCount(deviceId) != SceneCollector::kCurvesPerNode) {
        throw HostError(ExitCode::kTakeNotSaved,
                        "the journal was not baked: " + std::to_string(curveCount(deviceId)) +
                            " of " + std::to_string(SceneCollector::kCurvesPerNode) + " curves");
    }
    // The joints stand as the take's last sample showed them.
    std::vector<std::array<double, 3>> translations;
    for (const SampleMapFormat::Bone& bone : journal.samples.back().bones) {
        translations.push_back({bone.translation[0], bone.translation[1], bone.translation[2]});
    }
    mScene.skeletons.push_back(SceneCollector::skeletonOf(deviceId, translations));
    for (SceneData::Curve& curve : SceneCollector::bakedCurves(deviceId)) {
        mScene.curves.push_back(std::move(curve));
    }
    writeSummaryRow(node);
    writeScene();
    shutdown();
}

void HostSession::openProject() {
    std::filesystem::path folder =
        mOptions.journalDir.empty() ? std::filesystem::absolute(mOptions.outputPath).parent_path()
                                    : std::filesystem::absolute(mOptions.journalDir);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        throw HostError(ExitCode::kBadArguments, "cannot make the journal folder " +
                                                     folder.string() + ": " + error.message());
    }
    Mel::run("workspace -openWorkspace " + melQuoted(folder.string()));
    mDisplay.note("Journaling takes under " + (folder / "data/tulvex/untitled").string());
}

void HostSession::loadModule() {
    mLayout.requirePresent();
    // What MEL shows goes through the display, so it does not tear the status lines.
    mayahost::setScriptEcho(false);
    mayahost::setScriptPath({mLayout.scriptsDir().string()});
    mDisplay.note("Loading " + mLayout.pluginPath().string());
    if (mayahost::loadPlugin(mLayout.pluginPath().string()) != MStatus::kSuccess) {
        const std::string why = joined(mayahost::takeDisplayedErrors());
        throw HostError(ExitCode::kModuleNotLoaded, "cannot load the plug-in " +
                                                        mLayout.pluginPath().string() +
                                                        (why.empty() ? "" : ": " + why));
    }
    mLoaded = true;
    // The shelf is built, and the decoding library reports itself missing, from the idle
    // queue, as in Maya.
    idle();
    checkScriptErrors();
}

std::string HostSession::newDeviceButton() const {
    const std::string label =
        Mel::text("getPluginResource \"TulvexMayaPlugin\" \"kTulvexShelfNewLabel\"");
    const mayahost::UiState shelf = mayahost::uiState(kShelf);
    for (const std::string& child : shelf.children) {
        const mayahost::UiState button = mayahost::uiState(shelf.path + "|" + child);
        if (button.type == "shelfButton" && button.caption == label) {
            return button.path;
        }
    }
    throw HostError(ExitCode::kModuleNotLoaded, "the scripts in " + mLayout.scriptsDir().string() +
                                                    " built no " + kShelf + " shelf with a '" +
                                                    label + "' button");
}

void HostSession::createNodes() {
    const std::string button = newDeviceButton();
    for (int i = 0; i < mOptions.performers; ++i) {
        mNodes.push_back(std::make_unique<PerformerNode>(button, mOptions.port + i));
        applyTakeOptions(mNodes.back()->name());
        mWatches.emplace_back();
        idle();
        checkScriptErrors();
    }
}

void HostSession::keepRecordedOptions(const TakeSidecar& take) {
    if (!mOptions.smoothingGiven) {
        mOptions.smoothing = take.setting("smoothing", 0.0) != 0.0;
        mOptions.smoothingMinCutoff = take.setting("smoothingMinCutoff", 0.0);
        mOptions.smoothingBeta = take.setting("smoothingBeta", 0.0);
    }
    if (!mOptions.floorOffsetGiven) {
        mOptions.floorOffsetCm = take.setting("floorOffset", 0.0);
    }
}

void HostSession::applyTakeOptions(const std::string& node) {
    if (mOptions.continuousRotations) {
        Mel::run("setAttr " + node + ".continuousRotations 1");
    }
    if (mOptions.smoothing) {
        Mel::run("setAttr " + node + ".smoothingMinCutoff " +
                 exactNumber(mOptions.smoothingMinCutoff));
        Mel::run("setAttr " + node + ".smoothingBeta " + exactNumber(mOptions.smoothingBeta));
        Mel::run("setAttr " + node + ".smoothing 1");
    }
    if (mOptions.floorOffsetCm != 0.0) {
        Mel::run("setAttr " + node + ".floorOffset " + exactNumber(mOptions.floorOffsetCm));
    }
}

void HostSession::goLive() {
    for (const std::unique_ptr<PerformerNode>& node : mNodes) {
        node->switchLive(true);
    }
    idle();
    // A node that cannot open its socket turns its own live plug back off.
    for (const std::unique_ptr<PerformerNode>& node : mNodes) {
        if (!node->live()) {
            mayahost::takeScriptErrors();
            throw HostError(ExitCode::kPortInUse,
                            node->name() + " cannot listen on port " +
                                std::to_string(node->port()) +
                                ": Port in Use. Is another host or program using it?");
        }
    }
    checkScriptErrors();
    mDisplay.note("Waiting for " + std::to_string(mNodes.size()) + " stream(s) on 127.0.0.1 port " +
                  std::to_string(mOptions.port) +
                  (mNodes.size() > 1
                       ? "..." + std::to_string(mOptions.port + mOptions.performers - 1)
                       : std::string()));
}

void HostSession::waitForStreams() {
    const Clock::time_point deadline = Clock::now() + seconds(mOptions.waitTimeoutSeconds);
    const auto allStreaming = [this] {
        for (const std::unique_ptr<PerformerNode>& node : mNodes) {
            if (!node->streaming()) {
                return false;
            }
        }
        return true;
    };
    while (!allStreaming()) {
        if (Clock::now() >= deadline) {
            std::string missing;
            for (const std::unique_ptr<PerformerNode>& node : mNodes) {
                node->refreshStatistics();
                if (node->streaming()) {
                    continue;
                }
                const std::string where =
                    node->name() + " (port " + std::to_string(node->port()) + ")";
                if (node->statistics().datagramsReceived == 0) {
                    missing += "\n  " + where + ": nothing received";
                } else if (!node->bound()) {
                    missing += "\n  " + where +
                               ": datagrams but no skeleton definition (start the phone after "
                               "the host, or have it repeat its definition)";
                } else {
                    missing += "\n  " + where + ": bound, but no frames arrived";
                }
            }
            throw HostError(
                ExitCode::kNoStream,
                "no stream within " + numberText(mOptions.waitTimeoutSeconds) + " s:" + missing);
        }
        pump();
    }
    mDisplay.note("All streams bound; recording " + numberText(mOptions.recordSeconds) + " s");
}

void HostSession::recordTake() {
    for (const std::unique_ptr<PerformerNode>& node : mNodes) {
        node->setRecording(true);
    }
    // Real-time playback at film rate over a range long enough not to loop during the take,
    // so every sample lands on a whole frame of one pass.
    mayahost::PlaybackOptions playback = mayahost::playbackOptions();
    playback.minTime = kTakeStartFrame;
    playback.maxTime = kTakeStartFrame + (mOptions.recordSeconds + 1.0) * kFilmFramesPerSecond;
    playback.loop = mayahost::PlaybackLoop::Once;
    mayahost::setPlaybackOptions(playback);
    mayahost::setSceneTime(kTakeStartFrame);
    const std::uint64_t supersededBefore = supersededBlocks();
    mayahost::startPlayback();
    const std::uint64_t skippedBefore = mayahost::framesSkippedByPlayback();
    const Clock::time_point start = Clock::now();
    mTakeStart = start;
    Clock::time_point last = start;
    while (Clock::now() - start < seconds(mOptions.recordSeconds)) {
        const Clock::time_point now = Clock::now();
        mPullDue = mayahost::stepPlayback(now - last) || mPullDue;
        last = now;
        pump();
    }
    // Before playback stops: stopping hands every take to its bake, and frames the phones
    // send meanwhile are not the take's.
    mSupersededInTake = supersededBlocks() - supersededBefore;
    mayahost::stopPlayback();
    mFramesSkipped = mayahost::framesSkippedByPlayback() - skippedBefore;
    for (const std::unique_ptr<PerformerNode>& node : mNodes) {
        node->setRecording(false);
    }
    const double takeSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    watchStreams(takeSeconds);
    mTakeStart.reset();
    noteStops(takeSeconds);
}

std::uint64_t HostSession::supersededBlocks() {
    std::uint64_t superseded = 0;
    for (const std::unique_ptr<PerformerNode>& node : mNodes) {
        node->refreshStatistics();
        superseded += node->statistics().blocksSuperseded;
    }
    return superseded;
}

void HostSession::watchStreams(double takeSeconds) {
    for (std::size_t i = 0; i < mNodes.size(); ++i) {
        const bool stoppedBefore = mWatches[i].current().has_value();
        const DeviceStatus& counts = mNodes[i]->statistics();
        mWatches[i].observe(takeSeconds, counts.secondsSinceLastDatagram, counts.datagramsReceived);
        const std::optional<StreamWatch::Stop> stop = mWatches[i].current();
        if (stop && !stoppedBefore) {
            char at[32];
            std::snprintf(at, sizeof(at), "%.2f", stop->at);
            mDisplay.note(mNodes[i]->name() + ": no datagram since " + at + " s into the take");
        }
    }
}

void HostSession::noteStops(double takeSeconds) {
    for (std::size_t i = 0; i < mNodes.size(); ++i) {
        mWatches[i].end(takeSeconds);
        for (const StreamWatch::Stop& stop : mWatches[i].stops()) {
            std::ostringstream text;
            text.precision(2);
            text << std::fixed << mNodes[i]->name() << " (port " << mNodes[i]->port()
                 << "): its stream stopped " << stop.at << " s into the take (frame "
                 << kTakeStartFrame + stop.at * kFilmFramesPerSecond << ")";
            if (stop.resumed) {
                text << " for " << stop.length << " s";
            } else {
                text << " and did not come back: the take has nothing of it for the last "
                     << stop.length << " s";
            }
            mWarnings.push_back(text.str());
        }
    }
}

void HostSession::bake() {
    const auto allBaked = [this] {
        for (const std::unique_ptr<PerformerNode>& node : mNodes) {
            if (curveCount(node->deviceId()) < SceneCollector::kCurvesPerNode) {
                return false;
            }
        }
        return true;
    };
    const Clock::time_point deadline = Clock::now() + kBakeWait;
    while (!allBaked() && Clock::now() < deadline) {
        pump();
    }
    for (const std::unique_ptr<PerformerNode>& node : mNodes) {
        node->switchLive(false);
    }
    idle();
    checkScriptErrors();
    showScriptOutput();
    for (const std::unique_ptr<PerformerNode>& node : mNodes) {
        mPanels.push_back(node->panel());
    }
    std::string missing;
    for (const std::unique_ptr<PerformerNode>& node : mNodes) {
        const int curves = curveCount(node->deviceId());
        if (curves != SceneCollector::kCurvesPerNode) {
            missing += "\n  " + node->name() + ": " + std::to_string(curves) + " of " +
                       std::to_string(SceneCollector::kCurvesPerNode) + " curves";
        }
    }
    if (!missing.empty()) {
        throw HostError(ExitCode::kTakeNotSaved, "the take was not baked:" + missing);
    }
}

void HostSession::collect() {
    for (const std::unique_ptr<PerformerNode>& node : mNodes) {
        mScene.skeletons.push_back(
            SceneCollector::skeletonOf(node->deviceId(), node->translations()));
        std::vector<SceneData::Curve> curves = SceneCollector::bakedCurves(node->deviceId());
        writeSummaryRow(*node);
        for (SceneData::Curve& curve : curves) {
            mScene.curves.push_back(std::move(curve));
        }
    }
}

void HostSession::runUserScript() {
    if (mOptions.melPath.empty()) {
        return;
    }
    const std::string path = std::filesystem::absolute(mOptions.melPath).string();
    mDisplay.note("Sourcing " + path);
    const bool sourced = MGlobal::executeCommand(MString(("source " + melQuoted(path)).c_str())) ==
                         MStatus::kSuccess;
    idle();
    showScriptOutput();
    std::string why;
    for (const std::string& error : mayahost::takeScriptErrors()) {
        why += (why.empty() ? "" : "; ") + error;
    }
    if (!sourced || !why.empty()) {
        throw HostError(ExitCode::kFailure, "the script " + path + " failed" +
                                                (why.empty() ? std::string() : ": " + why));
    }
}

void HostSession::writeSummaryRow(PerformerNode& node) {
    // The figures the panel shows after a bake, from the same command.
    node.refreshStatistics();
    const DeviceStatus& status = node.statistics();
    mSamplesWithoutPose += status.samplesWithoutPose;
    mSummaryRows.push_back(
        {node.name(), std::to_string(node.port()), std::to_string(status.datagramsReceived),
         std::to_string(status.framesApplied), std::to_string(status.blocksSuperseded),
         std::to_string(status.datagramsRejected),
         status.framesApplied == 0 ? "-" : std::to_string(status.detectedRate),
         numberText(node.frameRate()), std::to_string(status.bakedCurves),
         std::to_string(status.bakedKeysPerCurve),
         numberText(status.bakedFirstTime) + "-" + numberText(status.bakedLastTime),
         std::to_string(status.bakedFilledPerCurve)});
}

void HostSession::writeScene() {
    MayaAsciiWriter writer(mOutput->stream());
    writer.writeHeader();
    writer.writeFileInfo(mayahost::fileInfo());
    for (const SceneData::Skeleton& skeleton : mScene.skeletons) {
        writer.writeSkeleton(skeleton);
    }
    for (const SceneData::Curve& curve : mScene.curves) {
        writer.writeCurve(curve, AnimCurveKeySource(curve.name));
    }
    writer.finish();
    mOutput->commit();
}

void HostSession::shutdown() {
    if (!mLoaded) {
        return;
    }
    for (const std::unique_ptr<PerformerNode>& node : mNodes) {
        if (node->live()) {
            node->leaveLive();
        }
    }
    // Stops every capture thread and deletes the nodes, so the module can go.
    mayahost::exitHost();
    mNodes.clear();
    mayahost::unloadPlugin(mLayout.pluginPath().string());
    mLoaded = false;
}

void HostSession::pump() {
    mayahost::waitForRefresh(kRefreshWait);
    mayahost::processRefreshes();
    // The panels' status timer, as Maya's event loop runs it.
    const std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
    if (mLastTimers != std::chrono::steady_clock::time_point{}) {
        mayahost::advanceTimers(now - mLastTimers);
    }
    mLastTimers = now;
    // After a new frame or a script, one evaluation for every node, as Maya evaluates
    // whatever went dirty at once. Not on every pass: a node still waiting for its next
    // block keeps its outputs dirty, and asking again before the block comes (its refresh
    // evaluates it then) only runs compute for every joint again.
    if (mPullDue) {
        mPullDue = false;
        std::vector<MObject> nodes;
        nodes.reserve(mNodes.size());
        for (const std::unique_ptr<PerformerNode>& node : mNodes) {
            nodes.push_back(node->object());
        }
        mayahost::pullDirtyOutputs(nodes);
    }
    mPullDue = mayahost::runIdleQueue() > 0;
    if (now - mLastBindCheck >= kBindCheckInterval) {
        mLastBindCheck = now;
        for (const std::unique_ptr<PerformerNode>& node : mNodes) {
            if (node->bindIfAsked()) {
                mDisplay.note(node->name() + " bound to its skeleton");
                mPullDue = true;
            }
        }
    }
    checkScriptErrors();
    showScriptOutput();
    if (StopSignal::requested()) {
        throw HostError(ExitCode::kInterrupted, "interrupted");
    }
    showStatus();
}

void HostSession::checkScriptErrors() {
    for (const std::string& error : mayahost::takeScriptErrors()) {
        if (error.find(kNoDecodingLibrary) != std::string::npos) {
            throw HostError(ExitCode::kDecodingLibraryMissing,
                            error + " Looked for it two folders above " +
                                mLayout.pluginPath().parent_path().string() +
                                ", in ZarnMotionFormat/" TULVEX_HOST_PLATFORM_DIR "/.");
        }
        if (error.find(kPortInUse) != std::string::npos) {
            std::string nodes;
            for (const std::unique_ptr<PerformerNode>& node : mNodes) {
                if (!node->live()) {
                    nodes += " " + node->name() + " (port " + std::to_string(node->port()) + ")";
                }
            }
            throw HostError(ExitCode::kPortInUse, error + nodes);
        }
        mDisplay.note("script error: " + error);
    }
}

void HostSession::idle() {
    for (int round = 0; round < kIdleRounds && mayahost::runIdleQueue() > 0; ++round) {
    }
}

void HostSession::showScriptOutput() {
    // The whole lines repeat the errors and warnings taken on their own.
    mayahost::takeScriptLines();
    for (const std::string& warning : mayahost::takeScriptWarnings()) {
        mDisplay.note("script warning: " + warning);
    }
    std::istringstream printed(mayahost::takeScriptOutput());
    for (std::string line; std::getline(printed, line);) {
        mDisplay.note(line);
    }
}

void HostSession::showStatus() {
    const Clock::time_point now = Clock::now();
    if (now - mLastStatistics < kStatisticsInterval) {
        return;
    }
    mLastStatistics = now;
    std::vector<std::string> lines;
    for (const std::unique_ptr<PerformerNode>& node : mNodes) {
        node->refreshStatistics();
        lines.push_back(node->statusLine());
    }
    if (mOptions.panels == PanelDisplay::kAlways) {
        for (const std::unique_ptr<PerformerNode>& node : mNodes) {
            lines.push_back("  " + node->panelStatus());
        }
    }
    if (mTakeStart) {
        watchStreams(std::chrono::duration<double>(now - *mTakeStart).count());
    }
    mDisplay.update(lines);
}

int HostSession::curveCount(int deviceId) const {
    const std::string prefix = BoneTable::skeletonName(deviceId) + "_";
    int count = 0;
    for (const std::string& name : mayahost::animCurveNames()) {
        count += name.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    }
    return count;
}

std::string HostSession::summary() const {
    SummaryTable table({"node", "port", "datagrams", "frames", "superseded", "rejected", "rate",
                        "frameRate", "curves", "keys/curve", "range", "filled"});
    for (const std::vector<std::string>& row : mSummaryRows) {
        table.addRow(row);
    }
    if (mSummaryRows.empty()) {
        return std::string();
    }
    std::string text = table.text();
    if (mFramesSkipped != 0) {
        // The one way a steady stream gets filled keys: Maya's real-time playback, too,
        // passes over frames it reaches late, and no sample is taken there.
        text += "Real-time playback skipped " + std::to_string(mFramesSkipped) +
                " frame(s) the host reached late; each take's keys there are filled in "
                "between the samples either side.\n";
    }
    if (mSupersededInTake != 0) {
        // A block a newer one replaced before any evaluation took it was never shown.
        text += "While recording, " + std::to_string(mSupersededInTake) +
                " frame(s) from the phones were replaced by a newer one before an "
                "evaluation took them.\n";
    }
    if (mSamplesWithoutPose != 0) {
        // The other: the phone's next frame had not come when the timeline reached a frame.
        text += "While recording, " + std::to_string(mSamplesWithoutPose) +
                " evaluation(s) found no new frame from the phone; where no later one at that "
                "time did, the keys are filled in between the samples either side.\n";
    }
    return text;
}
