// Owning handles of GL objects: each deletes its object when it goes, unless the process is
// already exiting (then the context may be gone and the end of the process frees it).
#pragma once

#include <epoxy/gl.h>

#include <string>
#include <utility>

#include "platform/d3d8/gl_context.h"

namespace d3d8 {

template <void (*Delete)(GLuint)>
class GlHandle {
 public:
  GlHandle() = default;
  explicit GlHandle(GLuint id) : id_(id) {}
  GlHandle(GlHandle&& other) noexcept : id_(std::exchange(other.id_, 0)) {}
  GlHandle& operator=(GlHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      id_ = std::exchange(other.id_, 0);
    }
    return *this;
  }
  GlHandle(const GlHandle&) = delete;
  GlHandle& operator=(const GlHandle&) = delete;
  ~GlHandle() { Reset(); }

  GLuint get() const { return id_; }
  explicit operator bool() const { return id_ != 0; }
  void Reset() {
    if (id_ != 0 && !ProcessIsExiting()) Delete(id_);
    id_ = 0;
  }

 private:
  GLuint id_ = 0;
};

inline void DeleteGlBuffer(GLuint id) { glDeleteBuffers(1, &id); }
inline void DeleteGlVertexArray(GLuint id) { glDeleteVertexArrays(1, &id); }
inline void DeleteGlTexture(GLuint id) { glDeleteTextures(1, &id); }
inline void DeleteGlSampler(GLuint id) { glDeleteSamplers(1, &id); }
inline void DeleteGlRenderbuffer(GLuint id) { glDeleteRenderbuffers(1, &id); }
inline void DeleteGlFramebuffer(GLuint id) { glDeleteFramebuffers(1, &id); }
inline void DeleteGlProgram(GLuint id) { glDeleteProgram(id); }

using GlBuffer = GlHandle<DeleteGlBuffer>;
using GlVertexArray = GlHandle<DeleteGlVertexArray>;
using GlTexture = GlHandle<DeleteGlTexture>;
using GlSampler = GlHandle<DeleteGlSampler>;
using GlRenderbuffer = GlHandle<DeleteGlRenderbuffer>;
using GlFramebuffer = GlHandle<DeleteGlFramebuffer>;
using GlProgram = GlHandle<DeleteGlProgram>;

inline GlBuffer MakeGlBuffer() {
  GLuint id = 0;
  glGenBuffers(1, &id);
  return GlBuffer(id);
}
inline GlVertexArray MakeGlVertexArray() {
  GLuint id = 0;
  glGenVertexArrays(1, &id);
  return GlVertexArray(id);
}
inline GlTexture MakeGlTexture() {
  GLuint id = 0;
  glGenTextures(1, &id);
  return GlTexture(id);
}
inline GlSampler MakeGlSampler() {
  GLuint id = 0;
  glGenSamplers(1, &id);
  return GlSampler(id);
}
inline GlRenderbuffer MakeGlRenderbuffer() {
  GLuint id = 0;
  glGenRenderbuffers(1, &id);
  return GlRenderbuffer(id);
}
inline GlFramebuffer MakeGlFramebuffer() {
  GLuint id = 0;
  glGenFramebuffers(1, &id);
  return GlFramebuffer(id);
}

// Compiles and links a program from two sources; attribute locations come from the
// shaders' layout qualifiers. An empty handle on failure, with the log in *error.
GlProgram LinkGlProgram(const char* vertexSource, const char* fragmentSource, std::string* error);

}  // namespace d3d8
