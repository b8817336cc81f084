#include "tools/mjcf_command.h"

#include "assets/data_set.h"
#include "gait/dynamics.h"
#include "model/core_setup.h"
#include "shell/dynamics_history.h"
#include "tools/cli.h"
#include "tools/picture_options.h"

#include <cstdio>
#include <string>

using namespace orva;

namespace {

const char* const mjcfHelp =
    "usage: orva-gait mjcf [--stance-rooted]\n"
    "\n"
    "ORVA as a MuJoCo model (MJCF, radians), made from the body model's masses, centres of mass\n"
    "and inertias as the dynamics command uses them. Planar, x forward and z up, every hinge\n"
    "about -y so that angles grow counter-clockwise as in the figures. The torso is the root,\n"
    "on the slides rootx and rootz and the hinge rooty (0: upright, the hip at the legs' full\n"
    "length above the floor); each leg (left, right) a thigh (hip_L), a shank (knee_L) and a\n"
    "foot (ankle_L), straight down and the foot level at 0, each foot 1.13 kg at its ankle, a\n"
    "box over the extent the program draws with its sole at the ankle's height; a floor with\n"
    "the friction the dynamics command marks (0.6); a motor on each of the six joints.\n"
    "\n"
    "  --stance-rooted  the step generator's own model instead: links 0..4 from a fixed stance\n"
    "                   ankle (stance shank, stance thigh, torso, swing thigh, swing shank) and\n"
    "                   the swing foot a point mass at the swing ankle, without contacts; its\n"
    "                   joints q0..q4 are the dynamics command's, q0 the stance shank's angle\n"
    "                   from forward and the others relative angles (the swing thigh against\n"
    "                   the stance thigh, both measured upwards), so that its inverse dynamics\n"
    "                   gives tau0..tau4\n"
    "  --help           this text\n"
    "\n"
    "Exit status: 0; 1 when the output cannot be written in full; 2 for bad arguments.\n";

// 17 significant digits, space-separated.
std::string numbers(std::initializer_list<double> values) {
    std::string out;
    for (double x : values) {
        if (!out.empty()) out += ' ';
        appendNumber(out, x);
    }
    return out;
}

// A body with its inertial: mass at com (along z), the same inertia about every axis (only the
// one about y moves in the plane). Leaves the body open.
void openBody(std::string& out, const std::string& indent, const char* name, double z,
              const DynamicsBody& b, double comZ, double inertia) {
    out += indent + "<body name=\"" + name + "\" pos=\"" + numbers({0, 0, z}) + "\">\n";
    out += indent + "  <inertial pos=\"" + numbers({0, 0, comZ}) + "\" mass=\"" +
           numbers({b.mass}) + "\" diaginertia=\"" + numbers({inertia, inertia, inertia}) +
           "\"/>\n";
}

void hinge(std::string& out, const std::string& indent, const std::string& name, double ref = 0) {
    out += indent + "  <joint name=\"" + name + "\" type=\"hinge\" axis=\"0 -1 0\"";
    if (ref != 0) out += " ref=\"" + numbers({ref}) + "\"";
    out += "/>\n";
}

// A link drawn from its lower end up (length > 0) or down (length < 0).
void linkGeom(std::string& out, const std::string& indent, double length) {
    out += indent + "  <geom type=\"capsule\" fromto=\"" + numbers({0, 0, 0, 0, 0, length}) +
           "\" size=\"" + numbers({linkHalfWidth * limbLinkLength}) + "\"/>\n";
}

// Bodies 0..5 of the dynamics module, their centres of mass up from each link's lower end.
struct Bodies {
    DynamicsBody b[dynamicsBodyCount];
    double com(int k) const { return b[k].comRatio * b[k].length; }
    double L(int k) const { return b[k].length; }
};

Bodies bodies() {
    Bodies out;
    for (int k = 0; k < dynamicsBodyCount; ++k) out.b[k] = dynamicsBody(k);
    return out;
}

// Both models' opening: radians, gravity along -z, and geoms that collide only where a model
// says so; the world body left open.
std::string modelHead(const char* name) {
    return std::string("<mujoco model=\"") + name +
           "\">\n"
           "  <compiler angle=\"radian\"/>\n"
           "  <option gravity=\"" +
           numbers({0, 0, -bodyParams.gravity}) +
           "\"/>\n"
           "  <default>\n"
           "    <geom contype=\"0\" conaffinity=\"0\"/>\n"
           "  </default>\n"
           "  <worldbody>\n";
}

std::string rootedModel() {
    const Bodies d = bodies();
    std::string out = modelHead("orva-stance-rooted");
    // Built upright (q0 = pi/2, the rest 0), the swing leg hanging from the hip.
    std::string in = "    ";
    openBody(out, in, "stance_shank", 0, d.b[0], d.com(0), d.b[0].inertia);
    hinge(out, in, "q0", halfPi);
    linkGeom(out, in, d.L(0));
    in += "  ";
    openBody(out, in, "stance_thigh", d.L(0), d.b[1], d.com(1), d.b[1].inertia);
    hinge(out, in, "q1");
    linkGeom(out, in, d.L(1));
    in += "  ";
    openBody(out, in, "torso", d.L(1), d.b[2], d.com(2), d.b[2].inertia);
    hinge(out, in, "q2");
    linkGeom(out, in, d.L(2));
    out += in + "</body>\n";
    openBody(out, in, "swing_thigh", d.L(1), d.b[3], d.com(3) - d.L(3), d.b[3].inertia);
    hinge(out, in, "q3");
    linkGeom(out, in, -d.L(3));
    openBody(out, in + "  ", "swing_shank", -d.L(3), d.b[4], d.com(4) - d.L(4), d.b[4].inertia);
    hinge(out, in + "  ", "q4");
    linkGeom(out, in + "  ", -d.L(4));
    openBody(out, in + "    ", "swing_foot", -d.L(4), d.b[5], 0, 0);
    out += in + "    </body>\n" + in + "  </body>\n" + in + "</body>\n";
    out += "      </body>\n"
           "    </body>\n"
           "  </worldbody>\n"
           "</mujoco>\n";
    return out;
}

std::string walkerModel() {
    const Bodies d = bodies();
    const double footThickness = soleDepth * limbLinkLength;
    const double footHalfLength = 0.5 * (footToe - footHeel);
    std::string out = modelHead("orva") +
                      "    <geom name=\"floor\" type=\"plane\" size=\"0 0 1\" contype=\"1\" "
                      "conaffinity=\"1\" friction=\"" +
                      numbers({frictionLimit}) + "\"/>\n";
    std::string in = "    ";
    openBody(out, in, "torso", d.L(0) + d.L(1), d.b[2], d.com(2), d.b[2].inertia);
    out += in + "  <joint name=\"rootx\" type=\"slide\" axis=\"1 0 0\"/>\n";
    out += in + "  <joint name=\"rootz\" type=\"slide\" axis=\"0 0 1\"/>\n";
    hinge(out, in, "rooty");
    linkGeom(out, in, d.L(2));
    // Both legs are the swing leg's bodies: a thigh and a shank hanging from the hip, and the
    // foot's mass at the ankle with the foot link's inertia.
    for (const char* side : {"left", "right"}) {
        const std::string s = side, leg = in + "  ", shank = leg + "  ", foot = shank + "  ";
        openBody(out, leg, ("thigh_" + s).c_str(), 0, d.b[3], d.com(3) - d.L(3), d.b[3].inertia);
        hinge(out, leg, "hip_" + s);
        linkGeom(out, leg, -d.L(3));
        openBody(out, shank, ("shank_" + s).c_str(), -d.L(3), d.b[4], d.com(4) - d.L(4),
                 d.b[4].inertia);
        hinge(out, shank, "knee_" + s);
        linkGeom(out, shank, -d.L(4));
        openBody(out, foot, ("foot_" + s).c_str(), -d.L(4), d.b[5], 0, bodyParams.inertia[5]);
        hinge(out, foot, "ankle_" + s);
        out += foot + "  <geom name=\"sole_" + s + "\" type=\"box\" pos=\"" +
               numbers({footHeel + footHalfLength, 0, 0.5 * footThickness}) + "\" size=\"" +
               numbers({footHalfLength, footHalfWidth * limbLinkLength, 0.5 * footThickness}) +
               "\" contype=\"1\" conaffinity=\"0\"/>\n";
        out += foot + "</body>\n" + shank + "</body>\n" + leg + "</body>\n";
    }
    out += in + "</body>\n  </worldbody>\n  <actuator>\n";
    for (const char* side : {"left", "right"})
        for (const char* joint : {"hip_", "knee_", "ankle_"})
            out += std::string("    <motor name=\"") + joint + side + "\" joint=\"" + joint + side +
                   "\"/>\n";
    out += "  </actuator>\n</mujoco>\n";
    return out;
}

// Usage errors name the command as the tool: "orva-gait mjcf: ... (try 'orva-gait mjcf --help')".
const char* const mjcfTool = "orva-gait mjcf";

} // namespace

std::string mjcfModel(bool stanceRooted) {
    return stanceRooted ? rootedModel() : walkerModel();
}

int runMjcfCommand(int argc, char** argv) {
    Options options;
    const std::string error =
        parseOptions(argc, argv, {{"--stance-rooted", false, false}}, options);
    if (!error.empty()) return usageError(mjcfTool, error);
    if (options.help) return writeOutput("mjcf", "", mjcfHelp);
    setupCore();
    return writeOutput("mjcf", "", mjcfModel(optionValue(options, "--stance-rooted") != nullptr));
}
