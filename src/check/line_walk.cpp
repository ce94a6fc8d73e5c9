#include "check/line_walk.h"

namespace blokpost {

bool isEmptyStep(const std::string& kind) { return stepKindOf(kind) == StepKindId::Empty; }

StepRole roleOf(const std::string& kind) {
    const StepKindRule& rule = stepKindRule(kind);
    if (rule.id == StepKindId::Empty) return StepRole::Empty;
    if (rule.id == StepKindId::Unknown) return StepRole::Unknown;
    if (rule.end == StepEnd::JumpTarget) return StepRole::Jump;
    // A Pin step waits only for its turn, which comes every cycle to a line alone.
    return rule.wait == StepWait::Never || rule.wait == StepWait::Chosen ? StepRole::Passing : StepRole::Waiting;
}

int nextStep(const LineProgramModel& model, int line, int step) {
    return stepAfter(stepKindRule(model.StepKind[line][step]), step, model.StepOperand[line][step]);
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
