// orva-assets: makes the program's data set and tells what the program would load from data
// files, for whoever designs or checks the meshes and images.
//
//   orva-assets make DIR          writes the eleven data files into DIR
//   orva-assets inspect FILE...   prints each file as loaded; exit 0 when all load, 1 when any
//                                 is refused or missing, 2 for bad arguments
#include "assets/data_set.h"
#include "assets/model_reader.h"
#include "assets/tga_image.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

int usage() {
    std::cerr << "usage: orva-assets make DIR\n"
                 "       orva-assets inspect FILE...\n";
    return 2;
}

// Names in damaged files may hold any byte; show them readably on one line.
std::string quoted(const char* text) {
    std::string out = "\"";
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (std::isprint(*p) && *p != '"' && *p != '\\') {
            out += char(*p);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", *p);
            out += escape;
        }
    }
    return out + "\"";
}

bool endsWith(const std::string& name, const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    if (name.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (std::tolower((unsigned char)name[name.size() - n + i]) != suffix[i]) return false;
    }
    return true;
}

bool inspectModel(const char* fileName) {
    MeshModel model;
    ModelReader reader;
    if (!reader.importFile(model, fileName)) {
        std::cout << fileName << ": refused" << std::endl;
        return false;
    }
    std::cout << fileName << ": 3DS, " << model.objectCount << " objects, " << model.materialCount
              << " materials\n";
    for (int i = 0; i < model.objectCount; ++i) {
        const MeshObject& o = model.objects[i];
        std::cout << "  object " << i << " " << quoted(o.name) << ": " << o.vertexCount
                  << " vertices, " << o.faceCount << " faces, " << o.texCoordCount
                  << " texture coordinates, material " << o.materialIndex << ", "
                  << (o.textured ? "textured" : "untextured") << "\n";
    }
    for (int i = 0; i < model.materialCount; ++i) {
        const MeshMaterial& m = model.materials[i];
        std::cout << "  material " << i << " " << quoted(m.name) << ": colour " << int(m.colour[0])
                  << " " << int(m.colour[1]) << " " << int(m.colour[2]) << ", map "
                  << quoted(m.mapFile) << "\n";
    }
    std::cout << std::flush;
    return true;
}

bool inspectImage(const char* fileName) {
    TgaTexture texture;
    const TgaStatus status = readTgaFile(texture, fileName);
    if (status != TgaStatus::loaded) {
        std::cout << fileName << ": refused (" << describeTgaStatus(status) << ")" << std::endl;
        return false;
    }
    std::cout << fileName << ": TGA " << texture.width << " x " << texture.height << ", "
              << texture.bitsPerPixel << " bits per pixel" << std::endl;
    return true;
}

// By the name's extension; otherwise a file starting with the 3DS primary chunk id is a mesh.
bool looksLikeModel(const char* fileName) {
    if (endsWith(fileName, ".3ds")) return true;
    if (endsWith(fileName, ".tga")) return false;
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) return false;
    unsigned char id[2] = {0, 0};
    const bool model = std::fread(id, 1, 2, file) == 2 && id[0] == 0x4D && id[1] == 0x4D;
    std::fclose(file);
    return model;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string command = argv[1];
    if (command == "make") {
        if (argc != 3) return usage();
        return writeDataSet(argv[2]) ? 0 : 1;
    }
    if (command == "inspect") {
        if (argc < 3) return usage();
        bool allLoaded = true;
        for (int i = 2; i < argc; ++i) {
            // A directory, device or pipe holds no data file (and a pipe would block the open).
            std::error_code error;
            const auto status = std::filesystem::status(argv[i], error);
            if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
                std::cout << argv[i] << ": refused (not a regular file)" << std::endl;
                allLoaded = false;
                continue;
            }
            const bool loaded =
                looksLikeModel(argv[i]) ? inspectModel(argv[i]) : inspectImage(argv[i]);
            allLoaded = allLoaded && loaded;
        }
        return allLoaded ? 0 : 1;
    }
    return usage();
}
