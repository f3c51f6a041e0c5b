// Drawing a frame allocates nothing: this program counts every global operator new made on
// the main thread while whole frames of the demo are rendered on the OpenGL device, with
// every mesh and texture slot filled and the frame-rate text on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "app/app_state.h"
#include "render/assets.h"
#include "render/display_device.h"
#include "scenes/frame_driver.h"
#include "tests/platform/gl_test_support.h"

namespace {

thread_local bool counting = false;
thread_local long allocations = 0;

void* Allocate(std::size_t size) {
  if (counting) ++allocations;
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  if (counting) ++allocations;
  const auto align = static_cast<std::size_t>(alignment);
  if (void* p = std::aligned_alloc(align, (size + align - 1) / align * align)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

TEST(GlDeviceAllocation, RenderingFramesOfEveryRendererAllocatesNothing) {
  UseRenderDevice(d3d8::CreateOpenGlDevice());
  ASSERT_EQ(InitD3D(DisplaySettingsRecord{}), S_OK);
  auto* device = dynamic_cast<d3d8::OpenGlDevice*>(Device);
  ASSERT_NE(device, nullptr);
  showFps = true;

  // Stand-ins for every asset: two subsets per mesh, full mip chains per texture.
  std::vector<d3dx::Image> levels;
  for (int size = 16; size >= 1; size /= 2) levels.push_back(gltest::SolidImage(size, size, 200, 150, 100, 128));
  for (auto& slot : MeshTable)
    slot = {device->CreateMesh(gltest::QuadMesh({{-0.5f, -0.5f, 0, 0.5f, 10.0f}, {0, -0.5f, 0.5f, 0.5f, 10.0f}})), 2};
  for (auto& texture : SceneTextures) texture = device->CreateTexture(levels);
  for (int picture = 1; picture <= kPictureCount; ++picture) PictureTextures[picture] = device->CreateTexture(levels);
  TreeTexture = device->CreateTexture(levels);

  // A time in each window of the timeline, and the end.
  const std::int32_t times[] = {-1, 1000, 20000, 52000, 60000, 116000, 130000, 180000, 200000, 270000, 294000};
  for (int warmUp = 0; warmUp < 2; ++warmUp)
    for (std::int32_t t : times) RenderFrame(t);
  device->Finish();

  counting = true;
  for (std::int32_t t : times) RenderFrame(t);
  counting = false;
  device->Finish();
  EXPECT_EQ(allocations, 0);

  showFps = false;
  Device = nullptr;
  FpsFont = nullptr;
  UseRenderDevice(nullptr);
}

}  // namespace
