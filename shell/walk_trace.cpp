#include "shell/walk_trace.h"

#include "gait/step_generator.h"
#include "shell/idle_pass.h"

#include <algorithm>

using namespace orva;

bool usableGait(const GaitTarget& target) {
    return givesUsableStep(target.entry);
}

namespace {

// Before a pass: the keys and the gait changes of this call, in their order.
void askBeforeCall(Lab& lab, const WalkTraceRequest& request, long call, size_t& nextPress,
                   size_t& nextChange, std::vector<std::string>& notes) {
    const std::vector<KeyPress>& presses = request.presses;
    for (; nextPress < presses.size() && presses[nextPress].call == call; ++nextPress)
        for (char key : presses[nextPress].keys)
            pressGaitKey(lab.gait, static_cast<unsigned char>(key));
    const std::vector<GaitChange>& changes = request.changes;
    for (; nextChange < changes.size() && changes[nextChange].call == call; ++nextChange) {
        // As the panel does: a gait with no usable step of its own is not asked for.
        const GaitChange& change = changes[nextChange];
        if (usableGait(change.target)) {
            selectGait(lab.gait, change.target);
        } else {
            notes.push_back("call " + std::to_string(call) + ": the gait " + change.text +
                            " gives no usable step; ORVA keeps its gait");
        }
    }
}

WalkTraceRow rowOf(const Lab& lab, long call) {
    const WalkerPlacement& p = lab.placement;
    WalkTraceRow row{call,
                     p.supportLeg,
                     lab.gait.gaitMode,
                     lab.walker.current.mode,
                     {},
                     p.stanceArc,
                     p.hipHalfWidth,
                     p.comOffset[0],
                     p.comOffset[1],
                     p.swingReach,
                     lab.walker.current.entry};
    std::copy(std::begin(lab.robot.q), std::end(lab.robot.q), row.q);
    return row;
}

} // namespace

void traceWalk(Lab& lab, const WalkTraceRequest& request, std::vector<WalkTraceRow>& rows,
               std::vector<std::string>& notes) {
    startWalking(lab, request.start);
    size_t nextPress = 0, nextChange = 0;
    int refusals = 0;
    for (long call = 1; call <= request.calls; ++call) {
        askBeforeCall(lab, request, call, nextPress, nextChange, notes);
        idlePass(lab);
        if (lab.walker.refusals != refusals) {
            refusals = lab.walker.refusals;
            notes.push_back("call " + std::to_string(call) +
                            ": no usable step leads from the gait walked towards the one asked "
                            "for; ORVA keeps its gait");
        }
        rows.push_back(rowOf(lab, call));
    }
}
