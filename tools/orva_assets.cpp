// orva-assets: makes the program's data set and tells what the program would load from data
// files, for whoever designs or checks the meshes and images.
//
//   orva-assets make DIR          writes the eleven data files into DIR
//   orva-assets inspect FILE...   prints each file as loaded; exit 0 when all load whole, 1 when
//                                 any is missing, refused or loads only in part, 2 for bad
//                                 arguments
#include "assets/data_set.h"
#include "assets/model_reader.h"
#include "assets/tga_image.h"
#include "tools/cli.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

const char* const tool = "orva-assets";

const char* const helpText =
    "usage: orva-assets make DIR\n"
    "       orva-assets inspect FILE...\n"
    "       orva-assets --help | --version\n"
    "\n"
    "make writes the eleven data files the program reads into DIR, each file whole or not at\n"
    "all, and names each file written.\n"
    "inspect shows what the program would load from 3DS and TGA files. Exit status 0 when\n"
    "every file loads whole, 1 when any is missing, refused or loads only in part (a cut-short\n"
    "or damaged 3DS file says at which byte the damage begins and what was kept), 2 for bad\n"
    "arguments.\n";

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
              << " materials";
    if (reader.damagedAt != 0) {
        std::cout << "; cut short or damaged at byte " << reader.damagedAt
                  << ", kept what was read before";
    }
    std::cout << "\n";
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
    return reader.damagedAt == 0;
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

// A missing file, or one that is not a regular file, is told apart before the readers refuse it.
bool inspect(const char* fileName) {
    std::error_code error;
    const auto status = std::filesystem::status(fileName, error);
    if (!std::filesystem::exists(status)) {
        std::cout << fileName << ": missing" << std::endl;
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        std::cout << fileName << ": refused (not a regular file)" << std::endl;
        return false;
    }
    return looksLikeModel(fileName) ? inspectModel(fileName) : inspectImage(fileName);
}

int run(int argc, char** argv) {
    if (argc < 2) return usageError(tool, "missing command");
    if (const int status = answerToolOption(tool, argc, argv, helpText); status >= 0) return status;
    const std::string command = argv[1];
    for (int i = 2; i < argc; ++i) {
        if (argv[i][0] == '-') {
            return usageError(tool, command + ": unknown option '" + argv[i] + "'");
        }
    }
    if (command == "make") {
        if (argc != 3) return usageError(tool, "make takes one folder");
        return writeDataSet(argv[2], std::cout) ? 0 : 1;
    }
    if (command == "inspect") {
        if (argc < 3) return usageError(tool, "inspect needs at least one file");
        bool allWhole = true;
        for (int i = 2; i < argc; ++i) allWhole = inspect(argv[i]) && allWhole;
        return allWhole ? 0 : 1;
    }
    return usageError(tool, "unknown command '" + command + "'");
}

} // namespace

int main(int argc, char** argv) {
    return finishOutput(tool, run(argc, argv));
}
