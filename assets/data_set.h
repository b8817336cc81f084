// The eleven data files the program reads, designed for ORVA and made by code: the two robot
// meshes and the nine scene images. `orva-assets make` writes them; tests and the fuzzing
// seeds use them in memory.
//
// Offers: DataFile, SceneImage, sceneImageFileName, makeBasicPiece, makeFootPiece,
// renderSceneImage, makeSceneImage, makeDataSet, writeDataSet, and the pieces' dimensions (the
// stance foot's extent in metres, footHeel and footToe, among them).
//
// The meshes are stored in the file's Z-up axes and chosen so that, after the reader's
// (x, y, z) -> (x, z, -y) and the scene's piece rotations, they sit in the robot frame (x along
// the walking direction, y up, z to the side), in model units of limbLinkLength (0.45 m):
//   - "basicpiece.3ds", one limb link: its joints at x = 0 and x = 1 on the x axis, a bar of
//     rounded ends centred on the joints (so consecutive links overlap in the same circle
//     whatever their angle) and a steel axle cap through each joint;
//   - "footpiece.3ds", a foot under the ankle (the origin): heel behind, toes ahead, its sole
//     at y = -0.05 m, the ground when the chain starts 0.05 m above it.
// The box images paint one continuous landscape seen from the middle of the box: each texel
// is coloured by its world point, so the faces meet without seams. Because GL repeats
// textures, linear filtering mixes each face's opposite border texels; detail fades out
// towards the box's edges so that those agree, except at the walls' bottom and top rows
// (ground against sky), where the mix is half a texel, 10 cm, high.
#pragma once

#include "assets/data_files.h"
#include "model/constants.h"

#include <ostream>
#include <string>
#include <vector>

// Limb link, model units (x limbLinkLength for metres).
constexpr double linkHalfWidth = 0.10;  // in the walking plane; also the end radius
constexpr double linkHalfDepth = 0.08;  // to the side
constexpr double jointRadius = 0.07;    // axle cap
constexpr double jointHalfDepth = 0.11; // axle cap, to the side
// Foot, model units.
constexpr double heelX = -0.19;        // behind the ankle
constexpr double toeX = 0.477;         // ahead of the ankle: 0.667 long, 0.3 m drawn
constexpr double footHalfWidth = 0.11; // to the side
constexpr double soleDepth = 0.05 / orva::limbLinkLength; // below the ankle: the ground
// The stance foot's extent as the scene draws it, m ahead of the stance ankle: what the figure,
// the panel and the dynamics' warnings compare the centre of pressure with.
constexpr double footHeel = heelX * orva::limbLinkLength;
constexpr double footToe = toeX * orva::limbLinkLength;

struct DataFile {
    std::string name;
    std::vector<unsigned char> bytes;
};

// In start-up's loading order, as sceneTextureFiles lists them.
enum class SceneImage { ground, sky, mountains, back, front, left, right, top, bottom };
constexpr int sceneImageCount = sceneTextureCount;

// "Ground2.tga" ... "Bottom.tga".
const char* sceneImageFileName(SceneImage image);

std::vector<unsigned char> makeBasicPiece();
std::vector<unsigned char> makeFootPiece();

// Pixels of an image size x size, rows from t = 0 up: RGB, or RGBA for the mountains strip.
std::vector<unsigned char> renderSceneImage(SceneImage image, int size);
// The same as a TGA file.
std::vector<unsigned char> makeSceneImage(SceneImage image, int size);

// All eleven files; the box faces at boxImageSize, the three others at otherImageSize.
std::vector<DataFile> makeDataSet(int boxImageSize = 512, int otherImageSize = 256);
// Writes makeDataSet() into directory, creating it, and names each file written on report.
// Each file is written under a temporary name and renamed once complete, so a failure (a full
// disk) never leaves a cut-short data file. False with a message on standard error when a file
// cannot be written.
bool writeDataSet(const std::string& directory, std::ostream& report);
