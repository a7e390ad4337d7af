#include "TakeSidecar.h"

#include <cmath>

#include "JsonValue.h"

namespace {

// Reads named members of one object, remembering the first one missing or of a wrong type.
class Fields {
public:
    Fields(const JsonValue& object, std::string prefix)
        : mObject(object), mPrefix(std::move(prefix)) {}

    const JsonValue* get(const char* name, JsonValue::Type type, const char* typeName) {
        const JsonValue* value = mObject.find(name);
        if (value == nullptr) {
            note(name, "is missing");
            return nullptr;
        }
        if (value->type() != type) {
            note(name, std::string("is not ") + typeName);
            return nullptr;
        }
        return value;
    }
    void text(const char* name, std::string& out) {
        if (const JsonValue* v = get(name, JsonValue::Type::String, "a string")) {
            out = v->asString();
        }
    }
    void number(const char* name, double& out) {
        if (const JsonValue* v = get(name, JsonValue::Type::Number, "a number")) {
            out = v->asNumber();
        }
    }
    template <typename Integer>
    void whole(const char* name, Integer& out, double min, double max) {
        double value = 0.0;
        number(name, value);
        if (!mError.empty()) {
            return;
        }
        if (value != std::floor(value) || value < min || value > max) {
            note(name, "is not a whole number in range");
            return;
        }
        out = static_cast<Integer>(value);
    }
    void note(const char* name, const std::string& what) {
        if (mError.empty()) {
            mError = "\"" + mPrefix + name + "\" " + what;
        }
    }
    const std::string& error() const { return mError; }
    void adopt(const std::string& error) {
        if (mError.empty()) {
            mError = error;
        }
    }

private:
    const JsonValue& mObject;
    std::string mPrefix;
    std::string mError;
};

}  // namespace

double TakeSidecar::setting(const std::string& key, double otherwise) const {
    for (const auto& [name, value] : settings) {
        if (name == key) {
            return value;
        }
    }
    return otherwise;
}

void TakeSidecar::summarise(double time) {
    if (!hasSummary) {
        hasSummary = true;
        firstTime = time;
    } else if (isGap(lastTime, time, playbackStep)) {
        ++gaps;
    }
    lastTime = time;
}

bool TakeSidecar::isGap(double from, double to, double step) {
    return step > 0.0 && to - from > step * 1.5;
}

const char* TakeSidecar::currentPluginVersion() {
    return TULVEX_PLUGIN_VERSION;
}

std::string TakeSidecar::toJson() const {
    JsonValue root = JsonValue::object();
    root.set("format", JsonValue::string(kFormatName));
    root.set("formatVersion", JsonValue::number(kFormatVersion));
    root.set("pluginVersion", JsonValue::string(pluginVersion));
    root.set("node", JsonValue::string(node));
    root.set("deviceId", JsonValue::number(deviceId));
    root.set("port", JsonValue::number(port));
    root.set("streamRate", JsonValue::number(streamRate));
    root.set("timeUnit", JsonValue::string(timeUnit));
    JsonValue playback = JsonValue::object();
    playback.set("min", JsonValue::number(playbackMin));
    playback.set("max", JsonValue::number(playbackMax));
    playback.set("step", JsonValue::number(playbackStep));
    root.set("playback", std::move(playback));
    root.set("skeletonName", JsonValue::string(skeletonName));
    JsonValue boneList = JsonValue::array();
    for (const std::string& bone : bones) {
        boneList.append(JsonValue::string(bone));
    }
    root.set("bones", std::move(boneList));
    JsonValue settingList = JsonValue::object();
    for (const auto& [name, value] : settings) {
        settingList.set(name, JsonValue::number(value));
    }
    root.set("settings", std::move(settingList));
    root.set("take", JsonValue::number(take));
    root.set("state", JsonValue::string(state));
    root.set("reason", JsonValue::string(reason));
    root.set("datagrams", JsonValue::number(static_cast<double>(datagrams)));
    root.set("samples", JsonValue::number(static_cast<double>(samples)));
    JsonValue files = JsonValue::object();
    files.set("pcap", JsonValue::string(pcapFile));
    files.set("samples", JsonValue::string(samplesFile));
    root.set("files", std::move(files));
    if (hasSummary) {
        JsonValue summary = JsonValue::object();
        summary.set("firstTime", JsonValue::number(firstTime));
        summary.set("lastTime", JsonValue::number(lastTime));
        summary.set("gaps", JsonValue::number(static_cast<double>(gaps)));
        root.set("summary", std::move(summary));
    }
    return root.text();
}

bool TakeSidecar::fromJson(const std::string& text, TakeSidecar& out, std::string& error) {
    JsonValue root;
    if (!JsonValue::parse(text, root, error)) {
        error = "the sidecar is not JSON: " + error;
        return false;
    }
    if (root.type() != JsonValue::Type::Object) {
        error = "the sidecar is not a JSON object";
        return false;
    }
    Fields fields(root, "");
    std::string format;
    fields.text("format", format);
    if (fields.error().empty() && format != kFormatName) {
        error = "the sidecar is not a take journal's (format \"" + format + "\")";
        return false;
    }
    int version = 0;
    fields.whole("formatVersion", version, 1, 1e9);
    if (fields.error().empty() && version > kFormatVersion) {
        error = "the sidecar is of format version " + std::to_string(version) +
                ", newer than this plug-in reads (" + std::to_string(kFormatVersion) + ")";
        return false;
    }
    TakeSidecar result;
    fields.text("pluginVersion", result.pluginVersion);
    fields.text("node", result.node);
    fields.whole("deviceId", result.deviceId, -2147483648.0, 2147483647.0);
    fields.whole("port", result.port, 0, 65535);
    fields.whole("streamRate", result.streamRate, 0, 1000);
    fields.text("timeUnit", result.timeUnit);
    if (const JsonValue* playback = fields.get("playback", JsonValue::Type::Object, "an object")) {
        Fields inner(*playback, "playback.");
        inner.number("min", result.playbackMin);
        inner.number("max", result.playbackMax);
        inner.number("step", result.playbackStep);
        fields.adopt(inner.error());
    }
    fields.text("skeletonName", result.skeletonName);
    if (const JsonValue* bones = fields.get("bones", JsonValue::Type::Array, "an array")) {
        for (const JsonValue& bone : bones->items()) {
            if (bone.type() != JsonValue::Type::String) {
                fields.note("bones", "holds something other than names");
                break;
            }
            result.bones.push_back(bone.asString());
        }
    }
    if (const JsonValue* settings = fields.get("settings", JsonValue::Type::Object, "an object")) {
        for (const auto& [name, value] : settings->members()) {
            if (value.type() != JsonValue::Type::Number) {
                fields.note("settings", "holds a value that is not a number");
                break;
            }
            result.settings.emplace_back(name, value.asNumber());
        }
    }
    fields.whole("take", result.take, 0, 1e9);
    fields.text("state", result.state);
    fields.text("reason", result.reason);
    fields.whole("datagrams", result.datagrams, 0, 9007199254740992.0);
    fields.whole("samples", result.samples, 0, 9007199254740992.0);
    if (const JsonValue* files = fields.get("files", JsonValue::Type::Object, "an object")) {
        Fields inner(*files, "files.");
        inner.text("pcap", result.pcapFile);
        inner.text("samples", result.samplesFile);
        fields.adopt(inner.error());
    }
    if (root.find("summary") != nullptr) {
        if (const JsonValue* summary =
                fields.get("summary", JsonValue::Type::Object, "an object")) {
            Fields inner(*summary, "summary.");
            inner.number("firstTime", result.firstTime);
            inner.number("lastTime", result.lastTime);
            inner.whole("gaps", result.gaps, 0, 9007199254740992.0);
            fields.adopt(inner.error());
            result.hasSummary = true;
        }
    }
    if (fields.error().empty() && result.state != "recording" && result.state != "complete" &&
        result.state != "incomplete") {
        fields.note("state", "is not recording, complete or incomplete");
    }
    if (!fields.error().empty()) {
        error = "the sidecar's " + fields.error();
        return false;
    }
    out = std::move(result);
    return true;
}
