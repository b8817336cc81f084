// The names of the eleven data files the program reads from its working directory at start-up,
// shared by the program and by the code that makes them.
//
// Offers: basicPieceFile, footPieceFile, sceneTextureCount, sceneTextureFiles.
#pragma once

constexpr const char* basicPieceFile = "basicpiece.3ds";
constexpr const char* footPieceFile = "footpiece.3ds";

// In start-up's loading order, the order of the scene's texture slots.
constexpr int sceneTextureCount = 9;
constexpr const char* sceneTextureFiles[sceneTextureCount] = {
    "Ground2.tga", "Sky2.tga",  "Mountains.tga", "Back.tga",   "Front.tga",
    "Left.tga",    "Right.tga", "Top.tga",       "Bottom.tga",
};
