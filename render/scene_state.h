// The render records and drawing routines every scene shares: one projection, one view
// matrix, one light, one material with its seven presets, and the mesh and tree drawing.
#pragma once

#include "platform/d3dx/math.h"
#include "render/assets.h"

extern D3DXMATRIX StandardProjection;  // rebuilt by every scene call
extern D3DXMATRIX ViewMatrix;          // rebuilt by every scene call
extern D3DLIGHT8 SceneLight;           // filled by the scene, set as light 0
extern D3DMATERIAL8 SceneMaterial;     // filled only by the presets; alphas stay 0

// Builds the StandardProjection (fov pi/4, aspect 1.3333, near 1, far 5000) and sets it as
// the projection transform. The aspect never follows the resolution.
void SetStandardProjection();

// Builds the ViewMatrix from eye and target with +z up and sets it as the view transform.
void SetViewMatrix(const D3DXVECTOR3& eye, const D3DXVECTOR3& target);

// Clears the SceneLight and fills a point light at `position` with the given colours and
// range (Attenuation0 = 1), ready for ScaleSceneLight and SetSceneLight.
void FillSceneLight(float diffuse, float specular, float ambient, const D3DVECTOR& position,
                    float range);

// Multiplies the r, g, b of Ambient, then Diffuse, by the factor; nothing is clamped.
void ScaleSceneLight(float factor);

// SetLight(0, SceneLight), then LightEnable(0, TRUE).
void SetSceneLight();

void MaterialChapel();
void MaterialSky();
void MaterialFigure();
void MaterialInterior();
void MaterialTerrain();
void MaterialGate();
void MaterialTree();

// DrawSubset 0 .. subsetCount-1 on the slot's mesh; an empty slot draws nothing.
void DrawMesh(const MeshSlot& slot);

// The trees: alpha blending and alpha test on, TreeTexture, mesh 9, blending and test off.
void DrawTrees();
