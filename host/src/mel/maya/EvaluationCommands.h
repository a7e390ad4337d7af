#pragma once

namespace mayahost {

class MelInterpreter;

// Maya's evaluation switches: evaluationManager -mode and `evaluator -name "cache" -enable`,
// Cached Playback's switch.
class EvaluationCommands {
public:
    static bool install(MelInterpreter& interpreter);

    EvaluationCommands() = delete;
};

}  // namespace mayahost
