#include "check/line_walk.h"

namespace blokpost {

bool isEmptyStep(const std::string& kind) { return kind.empty() || kind == kind::Leeg; }

StepRole roleOf(const std::string& kind) {
    if (isEmptyStep(kind)) return StepRole::Empty;
    if (kind == kind::Jump) return StepRole::Jump;
    if (kind == kind::Pin || kind == kind::MemMake || kind == kind::Green) return StepRole::Passing;
    if (kind == kind::Timer || kind == kind::Sensor || kind == kind::HSensor || kind == kind::MemRead)
        return StepRole::Waiting;
    return StepRole::Unknown;
}

int nextStep(const LineProgramModel& model, int line, int step) {
    switch (roleOf(model.StepKind[line][step])) {
        case StepRole::Empty:
        case StepRole::Unknown: return 0;
        case StepRole::Jump: {
            // A target that is no step keeps the line on its jump.
            const std::int32_t target = model.StepOperand[line][step];
            return target >= 1 && target <= kSteps ? target : step;
        }
        default: return step + 1;
    }
}

LineWalk walkLine(const LineProgramModel& model, int line) {
    LineWalk walk;
    int step = 1;
    while (true) {
        if (step > kSteps) {
            walk.stopsAt = kSteps + 1;
            return walk;
        }
        if (walk.reached[step]) {
            walk.loopStart = step;
            return walk;
        }
        walk.reached[step] = true;
        walk.path.push_back(step);
        const int next = nextStep(model, line, step);
        if (next == 0) {
            walk.stopsAt = step;
            return walk;
        }
        step = next;
    }
}

bool lineIsEmpty(const LineProgramModel& model, int line) {
    for (int step = 1; step <= kSteps; ++step)
        if (!isEmptyStep(model.StepKind[line][step])) return false;
    return true;
}

}  // namespace blokpost
