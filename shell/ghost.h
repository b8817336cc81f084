// The ghost ORVA the window shows beside the walk, gathered without a window: each step of the
// walk let loose from the plan's state at its start (the joints chosen free at zero torque, the
// others on the plan), integrated in lockstep with the walk, one idle pass at a time; during a
// blend, whose pose is seen from the other foot, it is not drawn. Also the last historyLength
// passes of the free coordinates, let loose and planned, for the panel.
//
// Offers: Ghost, noteGhost, showGhost, setGhostFree, ghostDrawn, ghostPose. The window program
// calls noteGhost after every idle pass, as it calls noteDynamics.
#pragma once

#include "gait/let_loose.h"
#include "model/body_model.h"
#include "shell/walk_stats.h"
#include "walking/walk_cycle.h"

struct Ghost {
    bool shown = false;
    orva::FreeJoints free = orva::FreeJoints::ankle;
    // The step let loose: the walker's phase it is in (-1: none, start again at the next pass
    // of a step) and its plan, copied at its start.
    int stepPhase = -1;
    orva::TrajectorySegment seg{};
    orva::LooseState state = orva::looseStart;
    orva::LinkMotion motion{}; // the ghost's link angles at state.t
    bool inStep = false;       // the last pass showed a pose of the step let loose
    // A ring of historyLength samples ending before next, one per idle pass while shown: the
    // stance ankle's q0 and the torso's q2 (rad), let loose (NaN during a blend) and planned.
    float ankle[historyLength] = {}, planAnkle[historyLength] = {};
    float torso[historyLength] = {}, planTorso[historyLength] = {};
    int next = 0;
    int count = 0;
    // The walking cycle's phase and clock after the last pass: where the next pose comes from;
    // and those of the pose the last pass showed (phase -1 before the first pass).
    int phase = 0;
    double clock = 0.0;
    int shownPhase = -1;
    double shownClock = 0.0;
};

// After an idle pass: the ghost moved on to the pose the pass showed. While hidden it only
// keeps track of the walk, and is let loose again from its step's start when shown.
void noteGhost(Ghost& ghost, const orva::WalkCycle& walker);

// Shows or hides the ghost at once: shown in a step, it is let loose from the step's start up
// to the pose shown, so that a paused walk shows it too.
void showGhost(Ghost& ghost, const orva::WalkCycle& walker, bool shown);

// Another choice of free joints: the step is let loose again from its start, up to the pose
// shown.
void setGhostFree(Ghost& ghost, const orva::WalkCycle& walker, orva::FreeJoints free);

// Whether the scene draws the ghost: shown, and the walk in the step it lets loose.
bool ghostDrawn(const Ghost& ghost);

// The ghost's pose as the scene draws ORVA's: joint coordinates, the swing foot level.
orva::RobotState ghostPose(const Ghost& ghost);
