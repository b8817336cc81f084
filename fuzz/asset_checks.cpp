#include "fuzz/asset_checks.h"

#include "assets/model_reader.h"
#include "assets/tga_image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void require(bool holds, const char* promise) {
    if (holds) return;
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

bool terminated(const char (&text)[meshNameSize]) {
    return std::memchr(text, 0, meshNameSize) != nullptr;
}

} // namespace

void checkModelReader(const std::uint8_t* data, std::size_t size) {
    MeshModel model;
    ModelReader{}.importBytes(model, data, size, "input.3ds");
    require(model.objectCount == int(model.objects.size()), "objectCount counts the objects");
    require(model.materialCount == int(model.materials.size()), "materialCount counts them");
    for (const MeshMaterial& m : model.materials) {
        require(terminated(m.name) && terminated(m.mapFile), "material texts are terminated");
    }
    for (const MeshObject& o : model.objects) {
        require(terminated(o.name), "object names are terminated");
        require(o.vertexCount == int(o.vertices.size()), "vertexCount counts the vertices");
        require(o.normals.size() == o.vertices.size(), "one normal per vertex");
        require(o.faceCount == int(o.faces.size()), "faceCount counts the faces");
        require(o.texCoordCount == int(o.texCoords.size()), "texCoordCount counts them");
        require(o.materialIndex >= -1 && o.materialIndex < std::max(model.materialCount, 1),
                "materialIndex is -1, 0 or a material read");
        // The arrays never hold more entries than the bytes could fill.
        require(o.vertices.size() * 12 + o.faces.size() * 8 + o.texCoords.size() * 8 <= size,
                "arrays are bounded by the input");
        for (const Vec3f& n : o.normals) {
            const double length =
                std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
            require(std::isfinite(length) && std::fabs(length - 1) < 1e-3, "normals are unit");
        }
    }
}

void checkTgaDecoder(const std::uint8_t* data, std::size_t size) {
    TgaTexture texture;
    const TgaStatus status = decodeTgaImage(texture, data, size);
    if (status == TgaStatus::loaded) {
        require(texture.bitsPerPixel == 24 || texture.bitsPerPixel == 32, "depth 24 or 32");
        require(texture.pixels.size() ==
                    std::size_t(texture.width) * texture.height * (texture.bitsPerPixel / 8),
                "pixels fill width x height");
        require(texture.pixels.size() + 18 <= size, "pixels come from the input");
    } else {
        require(texture.pixels.empty(), "a refused image holds no pixels");
    }
}
