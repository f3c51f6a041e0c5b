// The Direct3D 8 value types and constants the demo passes to its device, with their
// Direct3D names and numbers so that code and trace lines match.
#pragma once

#include "platform/win32/types.h"

using D3DCOLOR = DWORD;  // 0xAARRGGBB

constexpr D3DCOLOR D3DCOLOR_ARGB(DWORD a, DWORD r, DWORD g, DWORD b) {
  return ((a & 0xFF) << 24) | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}

struct D3DVECTOR {
  float x = 0, y = 0, z = 0;
};

struct D3DCOLORVALUE {
  float r = 0, g = 0, b = 0, a = 0;
};

// Row-major, points as row vectors: the translation stands in the fourth row.
struct D3DMATRIX {
  float m[4][4] = {};
};

enum D3DLIGHTTYPE : DWORD {
  D3DLIGHT_POINT = 1,
  D3DLIGHT_SPOT = 2,
  D3DLIGHT_DIRECTIONAL = 3,
};

struct D3DLIGHT8 {
  D3DLIGHTTYPE Type = static_cast<D3DLIGHTTYPE>(0);
  D3DCOLORVALUE Diffuse;
  D3DCOLORVALUE Specular;
  D3DCOLORVALUE Ambient;
  D3DVECTOR Position;
  D3DVECTOR Direction;
  float Range = 0;
  float Falloff = 0;
  float Attenuation0 = 0;
  float Attenuation1 = 0;
  float Attenuation2 = 0;
  float Theta = 0;
  float Phi = 0;
};

struct D3DMATERIAL8 {
  D3DCOLORVALUE Diffuse;
  D3DCOLORVALUE Ambient;
  D3DCOLORVALUE Specular;
  D3DCOLORVALUE Emissive;
  float Power = 0;
};

enum D3DFORMAT : DWORD {
  D3DFMT_UNKNOWN = 0,
  D3DFMT_R8G8B8 = 20,
  D3DFMT_A8R8G8B8 = 21,
  D3DFMT_X8R8G8B8 = 22,
  D3DFMT_R5G6B5 = 23,
  D3DFMT_D16 = 80,
};

enum D3DMULTISAMPLE_TYPE : DWORD {
  D3DMULTISAMPLE_NONE = 0,
  D3DMULTISAMPLE_2_SAMPLES = 2,
};

enum D3DSWAPEFFECT : DWORD {
  D3DSWAPEFFECT_DISCARD = 1,
  D3DSWAPEFFECT_FLIP = 2,
  D3DSWAPEFFECT_COPY = 3,
};

enum D3DDEVTYPE : DWORD {
  D3DDEVTYPE_HAL = 1,
  D3DDEVTYPE_REF = 2,
};

enum D3DPOOL : DWORD {
  D3DPOOL_DEFAULT = 0,
  D3DPOOL_MANAGED = 1,
  D3DPOOL_SYSTEMMEM = 2,
};

struct D3DDISPLAYMODE {
  UINT Width = 0;
  UINT Height = 0;
  UINT RefreshRate = 0;
  D3DFORMAT Format = D3DFMT_UNKNOWN;
};

struct HWND__;

struct D3DPRESENT_PARAMETERS {
  UINT BackBufferWidth = 0;
  UINT BackBufferHeight = 0;
  D3DFORMAT BackBufferFormat = D3DFMT_UNKNOWN;
  UINT BackBufferCount = 0;
  D3DMULTISAMPLE_TYPE MultiSampleType = D3DMULTISAMPLE_NONE;
  D3DSWAPEFFECT SwapEffect = static_cast<D3DSWAPEFFECT>(0);
  HWND__* hDeviceWindow = nullptr;
  BOOL Windowed = FALSE;
  BOOL EnableAutoDepthStencil = FALSE;
  D3DFORMAT AutoDepthStencilFormat = D3DFMT_UNKNOWN;
  DWORD Flags = 0;
  UINT FullScreen_RefreshRateInHz = 0;
  UINT FullScreen_PresentationInterval = 0;
};

inline constexpr UINT D3D_SDK_VERSION = 220;
inline constexpr UINT D3DADAPTER_DEFAULT = 0;
inline constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x00000020;

inline constexpr DWORD D3DCLEAR_TARGET = 0x00000001;
inline constexpr DWORD D3DCLEAR_ZBUFFER = 0x00000002;
inline constexpr DWORD D3DCLEAR_STENCIL = 0x00000004;

enum D3DTRANSFORMSTATETYPE : DWORD {
  D3DTS_VIEW = 2,
  D3DTS_PROJECTION = 3,
  D3DTS_WORLD = 256,
};

enum D3DRENDERSTATETYPE : DWORD {
  D3DRS_ZENABLE = 7,
  D3DRS_FILLMODE = 8,
  D3DRS_SHADEMODE = 9,
  D3DRS_ZWRITEENABLE = 14,
  D3DRS_ALPHATESTENABLE = 15,
  D3DRS_SRCBLEND = 19,
  D3DRS_DESTBLEND = 20,
  D3DRS_CULLMODE = 22,
  D3DRS_ZFUNC = 23,
  D3DRS_ALPHAREF = 24,
  D3DRS_ALPHAFUNC = 25,
  D3DRS_DITHERENABLE = 26,
  D3DRS_ALPHABLENDENABLE = 27,
  D3DRS_FOGENABLE = 28,
  D3DRS_SPECULARENABLE = 29,
  D3DRS_LIGHTING = 137,
  D3DRS_AMBIENT = 139,
  D3DRS_COLORVERTEX = 141,
  D3DRS_LOCALVIEWER = 142,
  D3DRS_NORMALIZENORMALS = 143,
  D3DRS_DIFFUSEMATERIALSOURCE = 145,
  D3DRS_SPECULARMATERIALSOURCE = 146,
  D3DRS_AMBIENTMATERIALSOURCE = 147,
  D3DRS_EMISSIVEMATERIALSOURCE = 148,
};

enum D3DTEXTURESTAGESTATETYPE : DWORD {
  D3DTSS_COLOROP = 1,
  D3DTSS_COLORARG1 = 2,
  D3DTSS_COLORARG2 = 3,
  D3DTSS_ALPHAOP = 4,
  D3DTSS_ALPHAARG1 = 5,
  D3DTSS_ALPHAARG2 = 6,
  D3DTSS_ADDRESSU = 13,
  D3DTSS_ADDRESSV = 14,
  D3DTSS_MAGFILTER = 16,
  D3DTSS_MINFILTER = 17,
  D3DTSS_MIPFILTER = 18,
  D3DTSS_MAXANISOTROPY = 21,
};

inline constexpr DWORD D3DZB_FALSE = 0;
inline constexpr DWORD D3DZB_TRUE = 1;
inline constexpr DWORD D3DCULL_NONE = 1;
inline constexpr DWORD D3DCULL_CW = 2;
inline constexpr DWORD D3DCULL_CCW = 3;
inline constexpr DWORD D3DTEXF_NONE = 0;
inline constexpr DWORD D3DTEXF_POINT = 1;
inline constexpr DWORD D3DTEXF_LINEAR = 2;
inline constexpr DWORD D3DTEXF_ANISOTROPIC = 3;
inline constexpr DWORD D3DBLEND_ZERO = 1;
inline constexpr DWORD D3DBLEND_ONE = 2;
inline constexpr DWORD D3DBLEND_SRCALPHA = 5;
inline constexpr DWORD D3DBLEND_INVSRCALPHA = 6;
inline constexpr DWORD D3DCMP_NEVER = 1;
inline constexpr DWORD D3DCMP_LESS = 2;
inline constexpr DWORD D3DCMP_EQUAL = 3;
inline constexpr DWORD D3DCMP_LESSEQUAL = 4;
inline constexpr DWORD D3DCMP_GREATER = 5;
inline constexpr DWORD D3DCMP_NOTEQUAL = 6;
inline constexpr DWORD D3DCMP_GREATEREQUAL = 7;
inline constexpr DWORD D3DCMP_ALWAYS = 8;

// D3DX constants the demo passes.
inline constexpr DWORD D3DXMESH_SYSTEMMEM = 0x110;
inline constexpr UINT D3DX_DEFAULT = 0xFFFFFFFF;
inline constexpr DWORD D3DX_FILTER_NONE = 1;
inline constexpr DWORD D3DX_FILTER_POINT = 2;
inline constexpr DWORD D3DX_FILTER_LINEAR = 3;
inline constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
inline constexpr DWORD D3DX_FILTER_BOX = 5;

// Text formats of ID3DXFont::DrawText.
inline constexpr DWORD DT_TOP = 0x0000;
inline constexpr DWORD DT_LEFT = 0x0000;
inline constexpr DWORD DT_CENTER = 0x0001;
inline constexpr DWORD DT_RIGHT = 0x0002;
inline constexpr DWORD DT_NOCLIP = 0x0100;
