// What must hold after the 3DS reader or the TGA decoder has run on any bytes at all. The
// fuzz targets and the corpus replay share these; a broken promise aborts with a message.
#pragma once

#include <cstddef>
#include <cstdint>

void checkModelReader(const std::uint8_t* data, std::size_t size);
void checkTgaDecoder(const std::uint8_t* data, std::size_t size);
