#include "platform/d3d8/gl_device.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/d3d8/display_mode_choice.h"
#include "platform/d3d8/gl_backend.h"
#include "platform/d3d8/gl_resources.h"
#include "platform/d3dx/font_rasterizer.h"
#include "platform/d3dx/material_buffer.h"
#include "platform/win32/path.h"

namespace d3d8 {

namespace {

constexpr BYTE kNonAntialiasedQuality = 3;

GLenum CompareFunction(DWORD function) {
  switch (function) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
  }
}

GLenum BlendFactor(DWORD blend) {
  switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case 3: return GL_SRC_COLOR;
    case 4: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case 7: return GL_DST_ALPHA;
    case 8: return GL_ONE_MINUS_DST_ALPHA;
    case 9: return GL_DST_COLOR;
    case 10: return GL_ONE_MINUS_DST_COLOR;
    case 11: return GL_SRC_ALPHA_SATURATE;
    default: return GL_ONE;
  }
}

GLenum AddressMode(DWORD address) {
  switch (address) {
    case 2: return GL_MIRRORED_REPEAT;
    case 3: return GL_CLAMP_TO_EDGE;
    case 4: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;  // wrap, and mirror-once which GL 3.3 lacks
  }
}

// Magnification, minification and mip filters of Direct3D as GL's two filters. Anisotropic
// filtering is linear filtering with a higher anisotropy; as a mip filter it means linear.
GLenum MagnificationFilter(DWORD mag) {
  return mag == D3DTEXF_LINEAR || mag == D3DTEXF_ANISOTROPIC ? GL_LINEAR : GL_NEAREST;
}

GLenum MinificationFilter(DWORD min, DWORD mip) {
  const bool linear = min == D3DTEXF_LINEAR || min == D3DTEXF_ANISOTROPIC;
  if (mip == D3DTEXF_NONE) return linear ? GL_LINEAR : GL_NEAREST;
  if (mip == D3DTEXF_POINT) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
  return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

void SetClearColour(D3DCOLOR colour) {
  // The back buffer is X8R8G8B8: its alpha always reads as opaque.
  glClearColor(static_cast<float>((colour >> 16) & 0xFF) / 255.0f,
               static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
               static_cast<float>(colour & 0xFF) / 255.0f, 1.0f);
}

void FlipRows(d3dx::Image& image) {
  const auto rowBytes = static_cast<std::size_t>(image.width) * 4;
  for (int top = 0, bottom = image.height - 1; top < bottom; ++top, --bottom)
    std::swap_ranges(image.rgba.begin() + static_cast<std::ptrdiff_t>(top * rowBytes),
                     image.rgba.begin() + static_cast<std::ptrdiff_t>((top + 1) * rowBytes),
                     image.rgba.begin() + static_cast<std::ptrdiff_t>(bottom * rowBytes));
}

// Reads the bound read framebuffer, top row first.
void ReadPixels(int width, int height, d3dx::Image& image) {
  image.width = width;
  image.height = height;
  image.rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
  FlipRows(image);
}

// Switches the window to full screen at the back-buffer size. The refresh rate asked for
// is taken where the display offers it, otherwise the display's nearest one.
bool EnterFullScreen(SDL_Window* window, int width, int height, int refreshRate) {
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
  std::vector<DisplayModeInfo> modes;
  for (int i = 0, n = SDL_GetNumDisplayModes(display); i < n; ++i) {
    SDL_DisplayMode mode{};
    if (SDL_GetDisplayMode(display, i, &mode) == 0) modes.push_back({mode.w, mode.h, mode.refresh_rate, i});
  }
  const auto chosen = ChooseFullscreenMode(modes, width, height, refreshRate);
  if (!chosen) return false;
  SDL_DisplayMode mode{};
  if (SDL_GetDisplayMode(display, chosen->index, &mode) != 0) return false;
  if (SDL_SetWindowDisplayMode(window, &mode) != 0) return false;
  return SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) == 0;
}

}  // namespace

OpenGlDevice::OpenGlDevice() = default;

OpenGlDevice::~OpenGlDevice() {
  if (gl_ && !ProcessIsExiting()) gl_->context->EnsureCurrent();
}

bool OpenGlDevice::Create(UINT sdkVersion) {
  direct3dCreated_ = sdkVersion == D3D_SDK_VERSION;
  return direct3dCreated_;
}

HRESULT OpenGlDevice::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
  if (adapter != D3DADAPTER_DEFAULT || mode == nullptr) return E_FAIL;
  // Only a program that has a window has started SDL's video; a head-less tool sees a
  // fixed desktop.
  SDL_DisplayMode desktop{};
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
    const int bits = static_cast<int>(SDL_BITSPERPIXEL(desktop.format));
    *mode = D3DDISPLAYMODE{static_cast<UINT>(desktop.w), static_cast<UINT>(desktop.h),
                           static_cast<UINT>(desktop.refresh_rate),
                           bits == 16 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8};
    return S_OK;
  }
  *mode = D3DDISPLAYMODE{1024, 768, 60, D3DFMT_X8R8G8B8};
  return S_OK;
}

HRESULT OpenGlDevice::CreateDevice(UINT adapter, D3DDEVTYPE, HWND focusWindow, DWORD,
                                   D3DPRESENT_PARAMETERS* parameters, RenderDevice** device) {
  if (!direct3dCreated_ || gl_ || adapter != D3DADAPTER_DEFAULT || parameters == nullptr || device == nullptr)
    return E_FAIL;
  HWND window = parameters->hDeviceWindow != nullptr ? parameters->hDeviceWindow : focusWindow;
  auto* sdl = static_cast<SDL_Window*>(window != nullptr ? win32::NativeWindow(window) : nullptr);
  if (window != nullptr && sdl == nullptr) return E_FAIL;

  int width = static_cast<int>(parameters->BackBufferWidth);
  int height = static_cast<int>(parameters->BackBufferHeight);
  const bool fullScreen = sdl != nullptr && parameters->Windowed == FALSE;
  if (fullScreen &&
      !EnterFullScreen(sdl, width, height, static_cast<int>(parameters->FullScreen_RefreshRateInHz)))
    return E_FAIL;

  auto backend = std::make_unique<GlBackend>();
  // Full screen waits for the vertical retrace, as the default presentation interval
  // does; a window presents at once.
  const bool vsync = policy_.vsync.value_or(fullScreen);
  GlContextResult made = sdl != nullptr ? CreateWindowContext(sdl, vsync) : CreateHeadlessContext();
  if (!made.context) return E_FAIL;
  backend->context = std::move(made.context);
  // In a window a zero size means the size of the client area.
  if (sdl != nullptr && (width == 0 || height == 0)) backend->context->DrawableSize(width, height);
  if (sdl != nullptr && policy_.followDrawable) {
    int drawableWidth = 0, drawableHeight = 0;
    backend->context->DrawableSize(drawableWidth, drawableHeight);
    RenderSizeFor(policy_.scaling, drawableWidth, drawableHeight, width, height);
  }

  const bool multisample = parameters->MultiSampleType >= D3DMULTISAMPLE_2_SAMPLES;
  int samples = multisample ? static_cast<int>(parameters->MultiSampleType) : 0;
  if (policy_.samples) {
    GLint offered = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &offered);
    samples = std::clamp(*policy_.samples, 0, static_cast<int>(offered));
    if (samples == 1) samples = 0;
  }
  backend->requestedSamples = samples;
  std::string error;
  if (!backend->backBuffer.Create(width, height, samples, parameters->EnableAutoDepthStencil != FALSE, &error) ||
      !backend->program.Create(&error) || !backend->text.Create(&error))
    return E_FAIL;
  backend->stageZeroSampler = MakeGlSampler();

  backend->clipControl = epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control");
  if (backend->clipControl) glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
  if (epoxy_gl_version() >= 46 || epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic") ||
      epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic"))
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY, &backend->maxAnisotropy);
  // Direct3D's winding: with y up in GL's window coordinates, what looks clockwise on
  // screen is still clockwise; counter-clockwise triangles are GL's front faces.
  glFrontFace(GL_CCW);

  backend->cache.Invalidate();
  backend->cache.UseProgram(backend->program.id());
  backend->program.SetTarget(width, height, !backend->clipControl);
  backend->cache.BindSampler(0, backend->stageZeroSampler.get());

  state_ = DeviceState();
  state_.renderStates[D3DRS_ZENABLE] = parameters->EnableAutoDepthStencil != FALSE ? D3DZB_TRUE : D3DZB_FALSE;
  state_.dirty = kDirtyAll;
  gl_ = std::move(backend);
  *device = this;
  return S_OK;
}

// ---- state records ----------------------------------------------------------------------

HRESULT OpenGlDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (state >= kRenderStateCount) return E_FAIL;
  DWORD& slot = state_.renderStates[state];
  if (slot != value) {
    slot = value;
    state_.dirty |= DirtyGroupOfRenderState(state);
  }
  return S_OK;
}

HRESULT OpenGlDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  if (stage >= kTextureStageCount || type >= kStageStateCount) return E_FAIL;
  DWORD& slot = state_.stageStates[stage][type];
  if (slot != value) {
    slot = value;
    // Only stage 0 is drawn with; later stages are kept for the record.
    if (stage == 0) state_.dirty |= DirtyGroupOfStageState(type);
  }
  return S_OK;
}

HRESULT OpenGlDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  if (matrix == nullptr) return E_FAIL;
  switch (state) {
    case D3DTS_WORLD: state_.world = *matrix; break;
    case D3DTS_VIEW: state_.view = *matrix; break;
    case D3DTS_PROJECTION: state_.projection = *matrix; break;
    default: return S_OK;  // texture transforms: not drawn with
  }
  state_.dirty |= kDirtyTransforms;
  return S_OK;
}

HRESULT OpenGlDevice::SetLight(DWORD index, const D3DLIGHT8* light) {
  if (light == nullptr || index >= kMaxLights) return E_FAIL;
  // The record keeps the light as given: its position is a world position, lit in world
  // space at draw time whatever view is set by then.
  state_.lights[index].light = *light;
  state_.dirty |= kDirtyLights;
  return S_OK;
}

HRESULT OpenGlDevice::LightEnable(DWORD index, BOOL enable) {
  if (index >= kMaxLights) return E_FAIL;
  state_.lights[index].enabled = enable != FALSE;
  state_.dirty |= kDirtyLights;
  return S_OK;
}

HRESULT OpenGlDevice::SetMaterial(const D3DMATERIAL8* material) {
  if (material == nullptr) return E_FAIL;
  state_.material = *material;
  state_.dirty |= kDirtyMaterial;
  return S_OK;
}

HRESULT OpenGlDevice::SetTexture(DWORD stage, IDirect3DTexture8* texture) {
  if (stage >= kTextureStageCount) return E_FAIL;
  if (stage != 0 || state_.texture0 == texture) return S_OK;
  // Binding or unbinding also changes what stage 0 combines.
  state_.texture0 = texture;
  state_.dirty |= kDirtyTexture | kDirtyShading;
  return S_OK;
}

// ---- applying the records at draw time -------------------------------------------------

void OpenGlDevice::ApplyPipeline() {
  GlStateCache& cache = gl_->cache;
  const bool depth = state_.RenderState(D3DRS_ZENABLE) != D3DZB_FALSE;
  cache.Enable(GL_DEPTH_TEST, depth);
  cache.DepthFunc(CompareFunction(state_.RenderState(D3DRS_ZFUNC)));
  cache.DepthMask(state_.RenderState(D3DRS_ZWRITEENABLE) != FALSE);
  const DWORD cull = state_.RenderState(D3DRS_CULLMODE);
  cache.Enable(GL_CULL_FACE, cull == D3DCULL_CW || cull == D3DCULL_CCW);
  cache.CullFace(cull == D3DCULL_CW ? GL_BACK : GL_FRONT);
  cache.Enable(GL_BLEND, state_.RenderState(D3DRS_ALPHABLENDENABLE) != FALSE);
  cache.BlendFunc(BlendFactor(state_.RenderState(D3DRS_SRCBLEND)),
                  BlendFactor(state_.RenderState(D3DRS_DESTBLEND)));
  const DWORD fill = state_.RenderState(D3DRS_FILLMODE);
  cache.PolygonMode(fill == 1 ? GL_POINT : fill == 2 ? GL_LINE : GL_FILL);
  // The back buffer's alpha stays opaque: X8R8G8B8 has none to write.
  const DWORD writeMask = state_.renderStates[kRenderStateColorWriteEnable];
  cache.ColorMask((writeMask & 1) != 0, (writeMask & 2) != 0, (writeMask & 4) != 0, false);
  cache.Enable(GL_SCISSOR_TEST, false);
}

void OpenGlDevice::ApplySampler() {
  const auto& stage = state_.stageStates[0];
  const GLuint sampler = gl_->stageZeroSampler.get();
  glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(MagnificationFilter(stage[D3DTSS_MAGFILTER])));
  glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER,
                      static_cast<GLint>(MinificationFilter(stage[D3DTSS_MINFILTER], stage[D3DTSS_MIPFILTER])));
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, static_cast<GLint>(AddressMode(stage[D3DTSS_ADDRESSU])));
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, static_cast<GLint>(AddressMode(stage[D3DTSS_ADDRESSV])));
  glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, std::bit_cast<float>(stage[kStageMipMapLodBias]));
  if (gl_->maxAnisotropy > 0.0f) {
    const bool anisotropic = stage[D3DTSS_MAGFILTER] == D3DTEXF_ANISOTROPIC ||
                             stage[D3DTSS_MINFILTER] == D3DTEXF_ANISOTROPIC ||
                             stage[D3DTSS_MIPFILTER] == D3DTEXF_ANISOTROPIC;
    const float wanted = anisotropic ? static_cast<float>(std::max<DWORD>(1, stage[D3DTSS_MAXANISOTROPY])) : 1.0f;
    glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY, std::min(wanted, gl_->maxAnisotropy));
  }
}

void OpenGlDevice::ApplyDrawState() {
  GlStateCache& cache = gl_->cache;
  FixedFunctionProgram& program = gl_->program;
  cache.BindDrawFramebuffer(gl_->backBuffer.DrawFramebuffer());
  cache.Viewport(0, 0, gl_->backBuffer.width(), gl_->backBuffer.height());
  cache.UseProgram(program.id());
  const std::uint32_t dirty = state_.dirty;
  if (dirty == 0) return;
  if ((dirty & kDirtyPipeline) != 0) ApplyPipeline();
  if ((dirty & kDirtyTransforms) != 0) program.SetTransforms(state_);
  if ((dirty & kDirtyLights) != 0) program.SetLights(state_);
  if ((dirty & kDirtyMaterial) != 0) program.SetMaterial(state_.material);
  const auto* texture = dynamic_cast<GlTexture2D*>(state_.texture0);
  if ((dirty & kDirtyTexture) != 0) {
    cache.BindTexture(0, texture != nullptr ? texture->id() : 0);
    cache.BindSampler(0, gl_->stageZeroSampler.get());
  }
  if ((dirty & kDirtyShading) != 0) program.SetShading(state_, texture != nullptr);
  if ((dirty & kDirtySampler) != 0) ApplySampler();
  state_.dirty = 0;
}

HRESULT OpenGlDevice::DrawSubset(ID3DXMesh* mesh, DWORD attribute) {
  auto* glMesh = dynamic_cast<GlMesh*>(mesh);
  if (glMesh == nullptr || !Ready()) return E_FAIL;
  if (attribute >= glMesh->subsetCount()) return S_OK;  // no faces carry that attribute
  const GlMesh::Range& range = glMesh->subset(attribute);
  if (range.count == 0) return S_OK;
  ApplyDrawState();
  gl_->program.SetVertexHasColour(glMesh->hasVertexColours());
  gl_->cache.BindVertexArray(glMesh->vertexArray());
  glDrawElements(GL_TRIANGLES, range.count, GL_UNSIGNED_INT, reinterpret_cast<const void*>(range.byteOffset));
  return S_OK;
}

// ---- frames -----------------------------------------------------------------------------

HRESULT OpenGlDevice::Clear(DWORD rectCount, const RECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD) {
  if (!Ready()) return E_FAIL;
  GlStateCache& cache = gl_->cache;
  const int width = gl_->backBuffer.width(), height = gl_->backBuffer.height();
  GLbitfield mask = 0;
  if ((flags & D3DCLEAR_TARGET) != 0) {
    mask |= GL_COLOR_BUFFER_BIT;
    cache.ColorMask(true, true, true, true);
    SetClearColour(color);
  }
  if ((flags & D3DCLEAR_ZBUFFER) != 0) {
    if (!gl_->backBuffer.hasDepth()) return E_FAIL;
    mask |= GL_DEPTH_BUFFER_BIT;
    // Clearing depth writes it whatever ZWRITEENABLE says.
    cache.DepthMask(true);
    glClearDepth(std::clamp(z, 0.0f, 1.0f));
  }
  cache.BindDrawFramebuffer(gl_->backBuffer.DrawFramebuffer());
  cache.Viewport(0, 0, width, height);
  if (mask != 0) {
    if (rectCount == 0 || rects == nullptr) {
      cache.Enable(GL_SCISSOR_TEST, false);
      glClear(mask);
    } else {
      cache.Enable(GL_SCISSOR_TEST, true);
      for (DWORD i = 0; i < rectCount; ++i) {
        const RECT& r = rects[i];
        const LONG left = std::clamp<LONG>(r.left, 0, width), right = std::clamp<LONG>(r.right, 0, width);
        const LONG top = std::clamp<LONG>(r.top, 0, height), bottom = std::clamp<LONG>(r.bottom, 0, height);
        if (right <= left || bottom <= top) continue;
        cache.Scissor(left, height - bottom, right - left, bottom - top);
        glClear(mask);
      }
    }
  }
  state_.dirty |= kDirtyPipeline;  // masks and scissor now differ from the records
  return S_OK;
}

HRESULT OpenGlDevice::BeginScene() {
  if (!gl_ || inScene_) return E_FAIL;
  inScene_ = true;
  return S_OK;
}

HRESULT OpenGlDevice::EndScene() {
  if (!gl_ || !inScene_) return E_FAIL;
  inScene_ = false;
  return S_OK;
}

HRESULT OpenGlDevice::Present(const RECT*, const RECT*, HWND, const void*) {
  if (!Ready()) return E_FAIL;
  GlStateCache& cache = gl_->cache;
  const GLuint source = gl_->backBuffer.Resolve(cache);
  if (gl_->context->HasDrawable()) {
    int drawableWidth = 0, drawableHeight = 0;
    gl_->context->DrawableSize(drawableWidth, drawableHeight);
    const int width = gl_->backBuffer.width(), height = gl_->backBuffer.height();
    const PixelRect out = OutputRectFor(policy_.scaling, width, height, drawableWidth, drawableHeight);
    cache.BindReadFramebuffer(source);
    cache.BindDrawFramebuffer(0);
    cache.Enable(GL_SCISSOR_TEST, false);
    cache.ColorMask(true, true, true, true);
    if (out.width != drawableWidth || out.height != drawableHeight) {
      glClearColor(0.0f, 0.0f, 0.0f, 1.0f);  // the bars
      glClear(GL_COLOR_BUFFER_BIT);
    }
    // Whole factors and equal sizes keep every pixel sharp; anything else is filtered.
    const bool exact = (out.width == width && out.height == height) ||
                       (policy_.scaling == OutputScaling::Integer && out.width % width == 0 &&
                        out.height % height == 0);
    const int bottom = drawableHeight - out.y - out.height;  // GL counts rows from the bottom
    glBlitFramebuffer(0, 0, width, height, out.x, bottom, out.x + out.width, bottom + out.height,
                      GL_COLOR_BUFFER_BIT, exact ? GL_NEAREST : GL_LINEAR);
    if (gl_->capture != nullptr) {
      cache.BindReadFramebuffer(0);
      ReadPixels(drawableWidth, drawableHeight, gl_->capture->image);
      gl_->capture->taken = true;
      gl_->capture = nullptr;
    }
    if (policy_.beforeSwap) policy_.beforeSwap();
    gl_->context->SwapBuffers();
    if (policy_.followDrawable) FollowDrawable();
  } else {
    glFlush();
  }
  state_.dirty |= kDirtyPipeline;
  return S_OK;
}

void OpenGlDevice::FollowDrawable() {
  int drawableWidth = 0, drawableHeight = 0, width = 0, height = 0;
  gl_->context->DrawableSize(drawableWidth, drawableHeight);
  RenderSizeFor(policy_.scaling, drawableWidth, drawableHeight, width, height);
  if (width != gl_->backBuffer.width() || height != gl_->backBuffer.height()) ResizeBackBuffer(width, height);
}

bool OpenGlDevice::ResizeBackBuffer(int width, int height) {
  BackBuffer resized;
  std::string error;
  if (!resized.Create(width, height, gl_->requestedSamples, gl_->backBuffer.hasDepth(), &error)) return false;
  gl_->backBuffer = std::move(resized);
  // Framebuffer names may be reused by the new buffer: forget every binding, and apply the
  // device state afresh at the next draw.
  gl_->cache.Invalidate();
  gl_->cache.UseProgram(gl_->program.id());
  gl_->cache.BindSampler(0, gl_->stageZeroSampler.get());
  gl_->program.SetTarget(width, height, !gl_->clipControl);
  state_.dirty = kDirtyAll;
  return true;
}

void OpenGlDevice::OutputSize(int& width, int& height) const {
  width = height = 0;
  if (!gl_) return;
  if (gl_->context->HasDrawable()) {
    gl_->context->DrawableSize(width, height);
  } else {
    width = gl_->backBuffer.width();
    height = gl_->backBuffer.height();
  }
}

int OpenGlDevice::BackBufferWidth() const { return gl_ ? gl_->backBuffer.width() : 0; }
int OpenGlDevice::BackBufferHeight() const { return gl_ ? gl_->backBuffer.height() : 0; }

// ---- text -------------------------------------------------------------------------------

HRESULT OpenGlDevice::D3DXCreateFont(const LOGFONTA& font, ID3DXFont** out) {
  if (out == nullptr || !Ready()) return E_FAIL;
  d3dx::FontDescription description;
  description.face.assign(font.lfFaceName, strnlen(font.lfFaceName, sizeof font.lfFaceName));
  description.height = font.lfHeight;
  description.weight = font.lfWeight;
  description.italic = font.lfItalic != 0;
  description.antialiased = font.lfQuality != kNonAntialiasedQuality;
  d3dx::GlyphAtlasResult atlas = d3dx::RasterizeFont(description);
  if (!atlas.atlas) return E_FAIL;
  auto made = GlFont::Create(std::move(*atlas.atlas), gl_->cache);
  *out = made.get();
  fonts_.push_back(std::move(made));
  return S_OK;
}

// Text drawing keeps no state of the device's own records, so Begin and End have nothing
// to save or restore.
HRESULT OpenGlDevice::Begin(ID3DXFont* font) { return font != nullptr && gl_ ? S_OK : E_FAIL; }
HRESULT OpenGlDevice::End(ID3DXFont* font) { return font != nullptr && gl_ ? S_OK : E_FAIL; }

INT OpenGlDevice::DrawTextA(ID3DXFont* font, const char* text, INT count, RECT* rect, DWORD format,
                            D3DCOLOR color) {
  const auto* glFont = dynamic_cast<GlFont*>(font);
  if (glFont == nullptr || text == nullptr || rect == nullptr || !Ready()) return 0;
  gl_->cache.BindDrawFramebuffer(gl_->backBuffer.DrawFramebuffer());
  const INT height = gl_->text.Draw(*glFont, text, count, *rect, format, color, gl_->backBuffer.width(),
                                    gl_->backBuffer.height(), gl_->cache);
  // The text changed GL's fixed state; the next draw sets the scene's again.
  state_.dirty |= kDirtyPipeline;
  return height;
}

// ---- meshes and textures ----------------------------------------------------------------

ID3DXMesh* OpenGlDevice::CreateMesh(const xfile::Mesh& mesh) {
  if (!Ready()) return nullptr;
  std::string error;
  auto made = GlMesh::Create(mesh, gl_->cache, &error);
  if (!made) return nullptr;
  meshes_.push_back(std::move(made));
  return meshes_.back().get();
}

IDirect3DTexture8* OpenGlDevice::CreateTexture(const std::vector<d3dx::Image>& levels) {
  if (!Ready()) return nullptr;
  std::string error;
  auto made = GlTexture2D::Create(levels, gl_->cache, &error);
  if (!made) return nullptr;
  state_.dirty |= kDirtyTexture;  // the upload bound it to unit 0
  textures_.push_back(std::move(made));
  return textures_.back().get();
}

HRESULT OpenGlDevice::D3DXLoadMeshFromX(const char* fileName, DWORD, ID3DXBuffer**, ID3DXBuffer** materials,
                                        DWORD* materialCount, ID3DXMesh** mesh) {
  if (!gl_ || fileName == nullptr || mesh == nullptr) return E_FAIL;
  const xfile::ReadResult read = xfile::ReadMeshFile(win32::ResolveFileName(fileName));
  if (!read.mesh) return E_FAIL;
  ID3DXMesh* made = CreateMesh(*read.mesh);
  if (made == nullptr) return E_FAIL;
  *mesh = made;
  if (materialCount != nullptr) *materialCount = static_cast<DWORD>(read.mesh->subsets.size());
  if (materials != nullptr) *materials = d3dx::MakeMaterialBuffer(*read.mesh);
  return S_OK;
}

HRESULT OpenGlDevice::D3DXCreateTextureFromFileExA(const char* fileName, UINT, UINT, UINT mipLevels, DWORD,
                                                   D3DFORMAT, D3DPOOL, DWORD, DWORD mipFilter,
                                                   D3DCOLOR colorKey, void*, void*,
                                                   IDirect3DTexture8** texture) {
  if (!gl_ || fileName == nullptr || texture == nullptr) return E_FAIL;
  d3dx::ImageResult decoded = d3dx::DecodeJpegFile(win32::ResolveFileName(fileName));
  if (!decoded.image) return E_FAIL;
  // The key applies to the picture as decoded, before any level is filtered from it, so
  // keyed texels blend into the edges of smaller levels.
  if (colorKey != 0) d3dx::ApplyColorKey(*decoded.image, colorKey);
  std::vector<d3dx::Image> levels = d3dx::BuildMipChain(std::move(*decoded.image), mipFilter);
  if (mipLevels != 0 && mipLevels != D3DX_DEFAULT && levels.size() > mipLevels) levels.resize(mipLevels);
  IDirect3DTexture8* made = CreateTexture(levels);
  if (made == nullptr) return E_FAIL;
  *texture = made;
  return S_OK;
}

// ---- tools and tests --------------------------------------------------------------------

bool OpenGlDevice::ReadBackBuffer(d3dx::Image& image) {
  if (!Ready()) return false;
  gl_->cache.BindReadFramebuffer(gl_->backBuffer.Resolve(gl_->cache));
  ReadPixels(gl_->backBuffer.width(), gl_->backBuffer.height(), image);
  for (std::size_t i = 3; i < image.rgba.size(); i += 4) image.rgba[i] = 255;
  state_.dirty |= kDirtyPipeline;
  return true;
}

void OpenGlDevice::Finish() {
  if (Ready()) glFinish();
}

int OpenGlDevice::BackBufferSamples() const { return gl_ ? gl_->backBuffer.samples() : 0; }

bool OpenGlDevice::Ready() { return gl_ && gl_->context->EnsureCurrent(); }

void OpenGlDevice::CaptureDrawableAtNextPresent(DrawableCapture* capture) {
  if (gl_) gl_->capture = capture;
}

OpenGlDevice::SamplerParameters OpenGlDevice::StageZeroSampler() {
  SamplerParameters parameters;
  if (!Ready()) return parameters;
  ApplyDrawState();
  const GLuint sampler = gl_->stageZeroSampler.get();
  glGetSamplerParameteriv(sampler, GL_TEXTURE_MIN_FILTER, &parameters.minFilter);
  glGetSamplerParameteriv(sampler, GL_TEXTURE_MAG_FILTER, &parameters.magFilter);
  glGetSamplerParameteriv(sampler, GL_TEXTURE_WRAP_S, &parameters.wrapS);
  glGetSamplerParameteriv(sampler, GL_TEXTURE_WRAP_T, &parameters.wrapT);
  parameters.maxAnisotropy = 1.0f;
  if (gl_->maxAnisotropy > 0.0f) glGetSamplerParameterfv(sampler, GL_TEXTURE_MAX_ANISOTROPY, &parameters.maxAnisotropy);
  return parameters;
}

std::unique_ptr<RenderDevice> CreateOpenGlDevice() { return std::make_unique<OpenGlDevice>(); }

}  // namespace d3d8
