// Where ORVA's joints are for given link angles: the forward kinematics of the six links in the
// walking plane, from the stance ankle up and down the swing leg, with exact sines and cosines
// (the pose queries' table is for the walk's speed; pictures and other languages want these).
//
// Offers: Point2, BodyPoints, bodyPoints.
#pragma once

#include "model/body_model.h"

namespace orva {

struct Point2 {
    double x, y; // m, from the stance ankle: x forward, y up
};

struct BodyPoints {
    Point2 stanceKnee, hip, torsoTop, swingKnee, swingAnkle, toe;
    Point2 com; // whole-body centre of mass: hip + sum of comWeight[i] dir(theta_i)
};

// The stance ankle is the origin; links 3 and 4 are described by their upward direction, so the
// swing knee is length3 below the hip along theta3 and the swing ankle length4 below the knee.
BodyPoints bodyPoints(const LinkAngles& a);

} // namespace orva
