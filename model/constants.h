// Constants of more than one folder: the mathematical ones, and the figures of ORVA and its
// world that the body model, the data set and the shell share.
//
// Offers: pi, halfPi, degreesPerRadian, limbLinkLength, walkingCircleRadius.
#pragma once

namespace orva {

constexpr double pi = 3.141592653589793;
constexpr double halfPi = 1.5707963267948966;
constexpr double degreesPerRadian = 180 / pi;

// Length of each of links 0..4 (shanks, thighs, torso), m; the data set's meshes take it as
// their unit of length.
constexpr double limbLinkLength = 0.45;
// Radius of the circle around the world's origin along which ORVA walks, m.
constexpr double walkingCircleRadius = 20.0;

} // namespace orva
