#include "assets/data_set.h"

#include "assets/asset_writer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>

using namespace orva;

namespace {

// ---- Meshes ----

// A point of a convex outline, counter-clockwise seen from +w, with its outward normal.
struct OutlinePoint {
    double u, v, nu, nv;
};

// Two half circles of the given radius around (u0, 0) and (u1, 0), joined by straight sides.
std::vector<OutlinePoint> stadium(double u0, double u1, double radius, int segments) {
    std::vector<OutlinePoint> outline;
    for (int end = 0; end < 2; ++end) {
        const double centre = end == 0 ? u1 : u0;
        for (int k = 0; k <= segments; ++k) {
            const double a = (end - 0.5) * pi + pi * k / segments;
            const double c = std::cos(a), s = std::sin(a);
            outline.push_back({centre + radius * c, radius * s, c, s});
        }
    }
    return outline;
}

std::vector<OutlinePoint> circle(double u, double radius, int segments) {
    std::vector<OutlinePoint> outline;
    for (int k = 0; k < segments; ++k) {
        const double a = 2 * pi * k / segments;
        outline.push_back(
            {u + radius * std::cos(a), radius * std::sin(a), std::cos(a), std::sin(a)});
    }
    return outline;
}

// The outline extruded along w from w0 to w1, its edges bevelled by bevel. Each flat cap, each
// bevel band and the side wall get vertices of their own, so the edges stay crisp while the
// rounded side shades smoothly. The file's (X, Y, Z) is (u, v, w).
void addBevelledPrism(MeshPart& part, const std::vector<OutlinePoint>& outline, double w0,
                      double w1, double bevel) {
    const int n = int(outline.size());
    auto ring = [&](double inset, double w) {
        const int start = int(part.vertices.size());
        for (const OutlinePoint& p : outline) {
            part.vertices.push_back(
                {float(p.u - inset * p.nu), float(p.v - inset * p.nv), float(w)});
        }
        return start;
    };
    // Quads between two rings, the second at the larger w; outward for a counter-clockwise outline.
    auto band = [&](int low, int high) {
        for (int i = 0; i < n; ++i) {
            const int j = (i + 1) % n;
            part.faces.push_back({low + i, low + j, high + j});
            part.faces.push_back({low + i, high + j, high + i});
        }
    };
    auto cap = [&](int start, bool facingPlusW) {
        Vec3f centre{0, 0, part.vertices[start].z};
        for (int i = 0; i < n; ++i) {
            centre.x += part.vertices[start + i].x / float(n);
            centre.y += part.vertices[start + i].y / float(n);
        }
        const int c = int(part.vertices.size());
        part.vertices.push_back(centre);
        for (int i = 0; i < n; ++i) {
            const int j = (i + 1) % n;
            if (facingPlusW) {
                part.faces.push_back({c, start + i, start + j});
            } else {
                part.faces.push_back({c, start + j, start + i});
            }
        }
    };
    const int lowBevelEdge = ring(bevel, w0);
    band(lowBevelEdge, ring(0, w0 + bevel));
    const int wallLow = ring(0, w0 + bevel);
    band(wallLow, ring(0, w1 - bevel));
    const int highBevelEdge = ring(0, w1 - bevel);
    band(highBevelEdge, ring(bevel, w1));
    cap(ring(bevel, w1), true);
    cap(ring(bevel, w0), false);
}

const PartMaterial orvaShell{"ORVA shell", {240, 128, 32}};
const PartMaterial orvaJoint{"ORVA joint", {150, 160, 176}};
const PartMaterial orvaSole{"ORVA sole", {62, 62, 70}};

// ---- Images ----

struct Rgb {
    double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scaled(Rgb a, double k) {
    return {a.r * k, a.g * k, a.b * k};
}

double mix1(double a, double b, double t) {
    return a + (b - a) * t;
}

double smoothstep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

double latticeValue(int x, int y, int z) {
    std::uint32_t h = std::uint32_t(x) * 0x8da6b343u ^ std::uint32_t(y) * 0xd8163841u ^
                      std::uint32_t(z) * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return double(h & 0xffffffu) / double(0xffffffu);
}

int wrapped(int i, int period) {
    return period > 0 ? ((i % period) + period) % period : i;
}

// Smoothly interpolated lattice noise in [0, 1]; period > 0 makes it repeat in x and y.
double valueNoise(double x, double y, double z, int period) {
    const double fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const int ix = int(fx), iy = int(fy), iz = int(fz);
    const double tx = smoothstep(0, 1, x - fx), ty = smoothstep(0, 1, y - fy);
    const double tz = smoothstep(0, 1, z - fz);
    double corner[2][2][2];
    for (int a = 0; a < 2; ++a)
        for (int b = 0; b < 2; ++b)
            for (int c = 0; c < 2; ++c)
                corner[a][b][c] =
                    latticeValue(wrapped(ix + a, period), wrapped(iy + b, period), iz + c);
    auto lerp = [](double p, double q, double t) { return p + (q - p) * t; };
    const double x00 = lerp(corner[0][0][0], corner[1][0][0], tx);
    const double x10 = lerp(corner[0][1][0], corner[1][1][0], tx);
    const double x01 = lerp(corner[0][0][1], corner[1][0][1], tx);
    const double x11 = lerp(corner[0][1][1], corner[1][1][1], tx);
    return lerp(lerp(x00, x10, ty), lerp(x01, x11, ty), tz);
}

// Octaves of noise, each twice the frequency and half the weight of the one before.
double fractalNoise(double x, double y, double z, int octaves, int period = 0) {
    double total = 0, weight = 0.5, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        total += weight * valueNoise(x, y, z + 17.0 * i, period);
        norm += weight;
        x *= 2;
        y *= 2;
        weight *= 0.5;
        period *= 2;
    }
    return total / norm;
}

constexpr double eyeHeight = 1.5; // the landscape is painted as seen from here, m
constexpr Rgb horizonSky{198, 221, 238};

// Grass; with tile > 0 (a multiple of 9 m) it repeats every tile metres in x and z.
Rgb grassAt(double x, double z, int tile) {
    const int coarseTile = tile / 9, fineTile = tile * 10 / 9;
    const double patches = fractalNoise(x / 9, z / 9, 0.5, 4, coarseTile);
    const double fine = fractalNoise(x / 0.9, z / 0.9, 7.5, 3, fineTile);
    Rgb grass = mix({66, 108, 44}, {108, 144, 60}, patches);
    const double dry = fractalNoise(x / 9, z / 9, 3.3, 3, coarseTile);
    grass = mix(grass, {156, 150, 86}, 0.7 * smoothstep(0.6, 0.74, dry));
    return scaled(grass, 0.84 + 0.32 * fine);
}

// GL repeats textures, so at the box's edges linear filtering mixes a face's first and last
// texels, which lie at two different edges. Detail therefore fades out towards the edges,
// where the colour then depends on height alone, and the mixing shows no line.

// 1 at the box's vertical edges (azimuth 45 degrees plus quarter turns), 0 from 7 degrees away.
double nearCorner(double azimuth) {
    const double quarters = azimuth / (pi / 2) - 0.5;
    return smoothstep(0.08, 0.0, std::fabs(quarters - std::round(quarters)));
}

// Noise in [0, 1] flattened towards its middle by fade.
double faded(double noise, double fade) {
    return 0.5 + (noise - 0.5) * (1 - fade);
}

// The floor: grass, with the track ORVA treads along its circle.
Rgb groundAt(double x, double z) {
    const double toCorner = std::hypot(50 - std::fabs(x), 50 - std::fabs(z));
    const Rgb grass = mix(grassAt(x, z, 0), {86, 125, 52}, smoothstep(8, 0, toCorner));
    const double fine = fractalNoise(x / 0.7, z / 0.7, 21.0, 2);
    const double fromPath = std::fabs(std::hypot(x, z) - walkingCircleRadius) + 0.5 * (fine - 0.5);
    const Rgb soil = scaled({152, 124, 88}, 0.88 + 0.24 * fine);
    return mix(grass, soil, 0.85 * smoothstep(1.1, 0.55, fromPath));
}

// Sky in the direction (dx, dy, dz); cloudiness scales the clouds.
Rgb skyAt(double dx, double dy, double dz, double cloudiness = 1) {
    const double up = std::max(dy, 0.0);
    Rgb sky = mix(horizonSky, {56, 116, 200}, std::pow(up, 0.8));
    // Clouds on a plane overhead, flattened and thinning out towards the horizon.
    const double reach = 1.0 / (up + 0.3);
    const double cover = fractalNoise(dx * reach * 0.9, dz * reach * 0.9, 11.1, 5);
    const double cloud = smoothstep(0.52, 0.74, cover) * smoothstep(0.04, 0.3, up);
    const Rgb cloudColour = mix({250, 250, 252}, {196, 202, 214}, smoothstep(0.7, 0.9, cover));
    return mix(sky, cloudColour, 0.9 * cloud * cloudiness);
}

// Heights above the horizon, in degrees, of the mountain range and of the hills before it.
// At the box's vertical edges both sink to the same pass.
double mountainTop(double azimuth) {
    const double c = std::cos(azimuth), s = std::sin(azimuth);
    const double broad = fractalNoise(2.2 * c + 5, 2.2 * s + 5, 3.7, 4);
    const double ridge = 1 - std::fabs(2 * fractalNoise(4.5 * c + 9, 4.5 * s + 9, 6.1, 5) - 1);
    const double height = std::clamp((0.55 * broad + 0.45 * ridge - 0.3) / 0.45, 0.0, 1.0);
    return mix1(2 + 11 * std::pow(height, 1.3), 3, nearCorner(azimuth));
}

double hillTop(double azimuth) {
    const double n = fractalNoise(5 * std::cos(azimuth) + 2, 5 * std::sin(azimuth) + 2, 9.1, 4);
    return mix1(0.8 + 3.2 * n, 1.6, nearCorner(azimuth));
}

Rgb mountainColour(double azimuth, double elevation) {
    const double top = mountainTop(azimuth), plain = nearCorner(azimuth);
    // Rock faces lit from one side: the slope of a rough surface across the range.
    auto face = [&](double a) {
        return fractalNoise(a * 14, elevation * 0.5, 2.9, 3) + 0.04 * mountainTop(a);
    };
    const double slope = (1 - plain) * (face(azimuth + 0.003) - face(azimuth - 0.003)) / 0.006;
    const double strata = faded(fractalNoise(azimuth * 30, elevation * 1.5, 8.2, 2), plain);
    Rgb rock = scaled({108, 110, 128}, 0.82 + 0.3 * strata);
    rock = scaled(rock, 1 + 0.3 * std::tanh(slope / 6));
    const double snow = smoothstep(7.5, 9, elevation + 2 * strata) *
                        smoothstep(top - 4, top - 2.5, elevation + 1.5 * strata);
    const Rgb snowColour = scaled({242, 245, 252}, 0.95 + 0.1 * std::tanh(slope / 6));
    return mix(mix(rock, snowColour, std::max(snow, smoothstep(11, 12.5, elevation))), horizonSky,
               0.3);
}

Rgb hillColour(double azimuth, double elevation) {
    const double n = faded(fractalNoise(azimuth * 60, elevation * 3, 4.4, 3), nearCorner(azimuth));
    return mix(scaled({58, 88, 66}, 0.85 + 0.3 * n), horizonSky, 0.22);
}

// How much of a layer whose top is at top (degrees) covers elevation: a soft edge about one
// texel wide keeps the outlines from stair-stepping.
double below(double elevation, double top) {
    return smoothstep(top + 0.12, top - 0.12, elevation);
}

// The colour of any point of the box surface.
Rgb landscapeAt(double x, double y, double z) {
    if (y <= 0) return groundAt(x, z);
    const double across = std::hypot(x, z);
    const double length = std::hypot(across, y - eyeHeight);
    // Clouds thin out within 6 m of the face's nearest edge.
    double toEdges[3] = {50 - std::fabs(x), 50 - std::fabs(z), 100 - y};
    std::sort(toEdges, toEdges + 3); // the first is the point's own face
    Rgb colour =
        skyAt(x / length, (y - eyeHeight) / length, z / length, smoothstep(0, 6, toEdges[1]));
    const double elevation = std::atan2(y - eyeHeight, across) * degreesPerRadian;
    if (elevation > 32) return colour;
    const double azimuth = std::atan2(z, x);
    colour =
        mix(colour, mountainColour(azimuth, elevation), below(elevation, mountainTop(azimuth)));
    colour = mix(colour, hillColour(azimuth, elevation), below(elevation, hillTop(azimuth)));
    if (elevation < 0.5) {
        const double n = faded(fractalNoise(azimuth * 30, 0, 5.5, 2), nearCorner(azimuth));
        const Rgb far = scaled({112, 138, 96}, 0.9 + 0.2 * n);
        const Rgb field =
            mix(groundAt(x, z), mix(far, horizonSky, 0.25), smoothstep(0.5, eyeHeight, y));
        colour = mix(colour, field, below(elevation, 0));
    }
    return colour;
}

// Where the texel (s, t) of a box face lies in the world, following the box's quads: the
// floor y = 0, the walls z = -50, z = 50, x = -50, x = 50 and the top y = 100.
void boxPoint(SceneImage face, double s, double t, double& x, double& y, double& z) {
    const double a = 100 * s - 50, b = 100 * t - 50;
    switch (face) {
    case SceneImage::bottom:
        x = -a, y = 0, z = b;
        return;
    case SceneImage::back:
        x = a, y = 100 * t, z = -50;
        return;
    case SceneImage::front:
        x = -a, y = 100 * t, z = 50;
        return;
    case SceneImage::left:
        x = -50, y = 100 * t, z = -a;
        return;
    case SceneImage::right:
        x = 50, y = 100 * t, z = a;
        return;
    default:
        x = -a, y = 100, z = -b;
        return;
    }
}

unsigned char channel(double value) {
    return (unsigned char)std::lround(std::clamp(value, 0.0, 255.0));
}

} // namespace

const char* sceneImageFileName(SceneImage image) {
    return sceneTextureFiles[int(image)];
}

std::vector<unsigned char> makeBasicPiece() {
    MeshPart bar{"ORVA link", orvaShell.name, {}, {}};
    addBevelledPrism(bar, stadium(0, 1, linkHalfWidth, 12), -linkHalfDepth, linkHalfDepth, 0.025);
    MeshPart joints{"ORVA axles", orvaJoint.name, {}, {}};
    for (const double u : {0.0, 1.0}) {
        addBevelledPrism(joints, circle(u, jointRadius, 20), -jointHalfDepth, jointHalfDepth, 0.02);
    }
    return writeMeshFile({orvaShell, orvaJoint}, {bar, joints});
}

std::vector<unsigned char> makeFootPiece() {
    // In the file, +Z points down from the ankle once the foot piece is drawn.
    const double soleTop = soleDepth - 0.03;
    MeshPart shell{"ORVA foot", orvaShell.name, {}, {}};
    addBevelledPrism(shell,
                     stadium(heelX + footHalfWidth + 0.012, toeX - footHalfWidth - 0.012,
                             footHalfWidth - 0.012, 10),
                     -0.05, soleTop, 0.03);
    MeshPart sole{"ORVA sole", orvaSole.name, {}, {}};
    addBevelledPrism(sole, stadium(heelX + footHalfWidth, toeX - footHalfWidth, footHalfWidth, 10),
                     soleTop, soleDepth, 0.01);
    return writeMeshFile({orvaShell, orvaSole}, {shell, sole});
}

std::vector<unsigned char> renderSceneImage(SceneImage image, int size) {
    const int channels = image == SceneImage::mountains ? 4 : 3;
    std::vector<unsigned char> pixels(std::size_t(size) * size * channels);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            const double s = (column + 0.5) / size, t = (row + 0.5) / size;
            Rgb colour{};
            double alpha = 1;
            switch (image) {
            case SceneImage::ground: // 18 m of grass, repeating both ways
                colour = grassAt(18 * s, 18 * t, 18);
                break;
            case SceneImage::sky: { // all round the horizon, up to the zenith
                const double azimuth = 2 * pi * s, elevation = 0.5 * pi * t;
                colour = skyAt(std::cos(elevation) * std::cos(azimuth), std::sin(elevation),
                               std::cos(elevation) * std::sin(azimuth));
                break;
            }
            case SceneImage::mountains: { // 45 by 15 degrees of the range, clear sky transparent
                const double azimuth = 0.25 * pi * s, elevation = 15 * t;
                alpha = below(elevation, mountainTop(azimuth));
                colour = mix(mountainColour(azimuth, elevation), hillColour(azimuth, elevation),
                             below(elevation, hillTop(azimuth)));
                break;
            }
            default: {
                double x, y, z;
                boxPoint(image, s, t, x, y, z);
                colour = landscapeAt(x, y, z);
            }
            }
            unsigned char* p = &pixels[(std::size_t(row) * size + column) * channels];
            p[0] = channel(colour.r);
            p[1] = channel(colour.g);
            p[2] = channel(colour.b);
            if (channels == 4) p[3] = channel(255 * alpha);
        }
    }
    return pixels;
}

std::vector<unsigned char> makeSceneImage(SceneImage image, int size) {
    const int bits = image == SceneImage::mountains ? 32 : 24;
    return encodeTga(size, size, bits, renderSceneImage(image, size));
}

std::vector<DataFile> makeDataSet(int boxImageSize, int otherImageSize) {
    std::vector<DataFile> files{{basicPieceFile, makeBasicPiece()},
                                {footPieceFile, makeFootPiece()}};
    for (int i = 0; i < sceneImageCount; ++i) {
        const SceneImage image = SceneImage(i);
        const bool boxFace = i >= int(SceneImage::back);
        files.push_back({sceneImageFileName(image),
                         makeSceneImage(image, boxFace ? boxImageSize : otherImageSize)});
    }
    return files;
}

bool writeDataSet(const std::string& directory, std::ostream& report) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    for (const DataFile& file : makeDataSet()) {
        const std::string path = (std::filesystem::path(directory) / file.name).string();
        const std::string partial = path + ".part";
        std::FILE* out = std::fopen(partial.c_str(), "wb");
        bool written =
            out && std::fwrite(file.bytes.data(), 1, file.bytes.size(), out) == file.bytes.size();
        if (out && std::fclose(out) != 0) written = false;
        if (written && std::rename(partial.c_str(), path.c_str()) == 0) {
            report << "wrote " << path << " (" << file.bytes.size() << " bytes)\n";
            continue;
        }
        const int cause = errno;
        std::remove(partial.c_str());
        std::cerr << "orva-assets: cannot write " << path << ": " << std::strerror(cause)
                  << std::endl;
        return false;
    }
    return true;
}
