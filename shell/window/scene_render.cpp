#include "shell/window/scene_render.h"

#include <GL/glu.h>
#include <GL/glut.h>

#include "model/constants.h"
#include "shell/frame_layout.h"
#include "shell/ghost.h"

namespace {

constexpr float jointSpacing = static_cast<float>(orva::limbLinkLength); // between joints, m
constexpr float pieceScale = jointSpacing; // every mesh piece is drawn at this scale
constexpr float footClearance = 0.05f;     // the chain starts this far above the ground, m

struct BoxVertex {
    float s, t;    // texture coordinate
    float x, y, z; // position, m
};

struct BoxFace {
    int slot; // SceneAssets::textures slot
    BoxVertex vertex[4];
};

// Floor, back, left, right, top, front: each face shows its texture exactly once.
const BoxFace boxFaces[] = {
    {8, {{1, 1, -50, 0, 50}, {0, 1, 50, 0, 50}, {0, 0, 50, 0, -50}, {1, 0, -50, 0, -50}}},
    {3, {{1, 1, 50, 100, -50}, {0, 1, -50, 100, -50}, {0, 0, -50, 0, -50}, {1, 0, 50, 0, -50}}},
    {5, {{1, 1, -50, 100, -50}, {0, 1, -50, 100, 50}, {0, 0, -50, 0, 50}, {1, 0, -50, 0, -50}}},
    {6, {{1, 1, 50, 100, 50}, {0, 1, 50, 100, -50}, {0, 0, 50, 0, -50}, {1, 0, 50, 0, 50}}},
    {7, {{1, 1, -50, 100, -50}, {0, 1, 50, 100, -50}, {0, 0, 50, 100, 50}, {1, 0, -50, 100, 50}}},
    {4, {{1, 1, -50, 100, 50}, {0, 1, 50, 100, 50}, {0, 0, 50, 0, 50}, {1, 0, -50, 0, 50}}},
};

void drawBox(const SceneAssets& scene) {
    glPushMatrix();
    for (const BoxFace& face : boxFaces) {
        glBindTexture(GL_TEXTURE_2D, scene.textures[face.slot].textureName);
        glBegin(GL_QUADS);
        for (const BoxVertex& v : face.vertex) {
            glTexCoord2f(v.s, v.t);
            glVertex3f(v.x, v.y, v.z);
        }
        glEnd();
    }
    glPopMatrix();
}

void rotateAboutJointAxis(float degrees) {
    glRotatef(degrees, 0, 0, 1);
}

// The forward piece turned half a turn about the middle of its link.
void drawReversedLegPiece(unsigned int basicPieceList) {
    glPushMatrix();
    glTranslatef(jointSpacing, 0, 0);
    glRotatef(180, 0, 0, 1);
    glScalef(pieceScale, pieceScale, pieceScale);
    glRotatef(90, 1, 0, 0);
    glCallList(basicPieceList);
    glPopMatrix();
}

void drawForwardLegPiece(unsigned int basicPieceList) {
    glPushMatrix();
    glScalef(pieceScale, pieceScale, pieceScale);
    glRotatef(90, 1, 0, 0);
    glCallList(basicPieceList);
    glPopMatrix();
}

void drawFootPiece(unsigned int footPieceList) {
    glPushMatrix();
    glScalef(pieceScale, pieceScale, pieceScale);
    glRotatef(180, 1, 0, 0);
    glCallList(footPieceList);
    glPopMatrix();
}

// The chain from the stance foot up through the hip and down the swing leg.
void drawRobotChain(const SceneAssets& scene, const FrameLayout& frame, double hipHalfWidth) {
    const unsigned int leg = scene.basicPieceList, foot = scene.footPieceList;
    const float halfWidth = static_cast<float>(hipHalfWidth);
    const ChainAngles& angles = frame.chain;
    glTranslatef(frame.robot.drawX, footClearance, frame.robot.drawZ);
    glRotatef(angles.heading, 0, 1, 0);
    glTranslatef(0, 0, -halfWidth); // stance ankle
    drawFootPiece(foot);
    rotateAboutJointAxis(angles.joint[0]);
    drawReversedLegPiece(leg); // stance shank
    glTranslatef(jointSpacing, 0, 0);
    rotateAboutJointAxis(angles.joint[1]);
    drawReversedLegPiece(leg); // stance thigh
    glTranslatef(jointSpacing, 0, 0);
    glPushMatrix(); // torso, one piece in each leg's plane
    rotateAboutJointAxis(angles.joint[2]);
    drawReversedLegPiece(leg);
    glTranslatef(0, 0, 2 * halfWidth);
    drawReversedLegPiece(leg);
    glPopMatrix();
    glTranslatef(0, 0, 2 * halfWidth); // hip on the swing side
    rotateAboutJointAxis(angles.joint[3]);
    drawForwardLegPiece(leg); // swing thigh
    glTranslatef(jointSpacing, 0, 0);
    rotateAboutJointAxis(angles.joint[4]);
    drawForwardLegPiece(leg); // swing shank
    glTranslatef(jointSpacing, 0, 0);
    rotateAboutJointAxis(angles.swingFoot);
    drawFootPiece(foot);
}

// The ghost: the same chain in the let-loose pose, translucent blue over the orange walk. The
// pieces' lists set their own colours, so the ghost's comes from the material with the colour
// tracking off; it writes no depth, so that ORVA shows through it.
void drawGhost(const SceneAssets& scene, const FrameLayout& frame, const Lab& lab) {
    FrameLayout ghost = frame;
    ghost.chain = chainAngles(ghostPose(lab.ghost), frame.robot.theta);
    GLfloat diffuse[4], ambient[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    const GLfloat ghostDiffuse[] = {0.25f, 0.65f, 1.0f, 0.45f};
    const GLfloat ghostAmbient[] = {0.1f, 0.25f, 0.45f, 0.45f};
    glDisable(GL_COLOR_MATERIAL);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, ghostDiffuse);
    glMaterialfv(GL_FRONT, GL_AMBIENT, ghostAmbient);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glPushMatrix();
    drawRobotChain(scene, ghost, lab.placement.hipHalfWidth);
    glPopMatrix();
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glEnable(GL_COLOR_MATERIAL);
}

} // namespace

void drawScene(const SceneAssets& assets, Lab& lab, bool panelBeside) {
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);

    const SceneViewport scene = sceneViewport(lab.window, panelBeside);
    glViewport(scene.x, scene.y, scene.width, scene.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, scene.aspect, 0.1, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    const FrameLayout frame = layoutFrame(lab.placement, lab.camera, lab.robot);
    const CameraView& view = frame.view;
    gluLookAt(view.eye[0], view.eye[1], view.eye[2], view.centre[0], view.centre[1], view.centre[2],
              0, 1, 0);

    drawBox(assets);

    const GLfloat robotColour[] = {0.05f, 0.05f, 0.05f, 1.0f};
    glColorMaterial(GL_FRONT, GL_DIFFUSE);
    glColor4fv(robotColour);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glPushMatrix();
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);
    drawRobotChain(assets, frame, lab.placement.hipHalfWidth);
    glPopMatrix();
    if (ghostDrawn(lab.ghost)) drawGhost(assets, frame, lab);

    // The box of the next frame is drawn unlit, in white modulated by its textures.
    glColor4f(1, 1, 1, 1);
    glDisable(GL_LIGHT1);
    glDisable(GL_LIGHTING);
}
