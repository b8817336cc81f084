// The video file of a recording, through the FFmpeg libraries: H.264 (libx264, else another
// software H.264 encoder, else MPEG-4 Part 2) in the container the file's name asks for (MP4,
// Matroska, AVI or QuickTime), YUV 4:2:0, a constant 100/3 frames per
// second with exact timestamps, and settings that make the same frames give the same file.
//
// Offers: VideoEncoder, openVideo, addVideoFrame, closeVideo, videoCodecName. Every failure
// comes back as false (or nullptr) with one line in error; FFmpeg's own log is silenced.
#pragma once

#include <string>

struct VideoEncoder;

// Starts a width x height video (even numbers) in the file path, which exists and is replaced,
// in the container FFmpeg guesses from name (the name the video gets once complete).
VideoEncoder* openVideo(const std::string& path, const std::string& name, int width, int height,
                        std::string& error);

// The next frame, from the video's width x height in RGB bytes as glReadPixels gives them
// packed: the bottom row first.
bool addVideoFrame(VideoEncoder* video, const unsigned char* rgb, std::string& error);

// Writes the frames still held and the file's index, closes the file and frees the encoder,
// also after a failure. Returns false with error when the file is not complete.
bool closeVideo(VideoEncoder* video, std::string& error);

// "H.264 (libx264)" and the like, for the messages.
std::string videoCodecName(const VideoEncoder* video);
