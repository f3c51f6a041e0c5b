#include "platform/d3d8/gl_debug.h"

#include <epoxy/gl.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace d3d8 {

namespace {

constexpr std::size_t kMaxKept = 1000;  // a fault repeated every frame must not eat the memory

std::atomic<bool> enabledByCaller{false};

bool EnabledByEnvironment() {
  static const bool enabled = [] {
    const char* value = std::getenv("ORCHARD_GL_DEBUG");
    return value != nullptr && std::strcmp(value, "1") == 0;
  }();
  return enabled;
}

struct Reports {
  std::mutex mutex;
  std::vector<std::string> kept;
  std::size_t dropped = 0;
};

Reports& TheReports() {
  static Reports reports;
  return reports;
}

void Record(std::string line) {
  if (EnabledByEnvironment()) std::fprintf(stderr, "%s\n", line.c_str());
  Reports& reports = TheReports();
  std::lock_guard lock(reports.mutex);
  if (reports.kept.size() < kMaxKept)
    reports.kept.push_back(std::move(line));
  else
    ++reports.dropped;
}

const char* TypeName(GLenum type) {
  switch (type) {
    case GL_DEBUG_TYPE_ERROR: return "error";
    case GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR: return "undefined behaviour";
    case GL_DEBUG_TYPE_PORTABILITY: return "portability";
    default: return "message";
  }
}

const char* SeverityName(GLenum severity) {
  switch (severity) {
    case GL_DEBUG_SEVERITY_HIGH: return "high";
    case GL_DEBUG_SEVERITY_MEDIUM: return "medium";
    case GL_DEBUG_SEVERITY_LOW: return "low";
    default: return "note";
  }
}

// Errors and undefined behaviour always count; a portability problem only when the driver
// rates it high. Performance hints and notes say nothing about correctness.
bool IsFault(GLenum type, GLenum severity) {
  return type == GL_DEBUG_TYPE_ERROR || type == GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR ||
         (type == GL_DEBUG_TYPE_PORTABILITY && severity == GL_DEBUG_SEVERITY_HIGH);
}

void GLAPIENTRY OnDebugMessage(GLenum, GLenum type, GLuint, GLenum severity, GLsizei length,
                               const GLchar* message, const void*) {
  if (!IsFault(type, severity)) return;
  std::string line = std::string("GL ") + TypeName(type) + " (" + SeverityName(severity) + "): ";
  if (message != nullptr) line.append(message, length >= 0 ? static_cast<std::size_t>(length) : std::strlen(message));
  Record(std::move(line));
}

}  // namespace

void EnableGlDebugContexts(bool enabled) { enabledByCaller = enabled; }

bool GlDebugContextsEnabled() { return enabledByCaller || EnabledByEnvironment(); }

std::vector<std::string> TakeGlDebugErrors() {
  Reports& reports = TheReports();
  std::lock_guard lock(reports.mutex);
  std::vector<std::string> taken = std::move(reports.kept);
  reports.kept.clear();
  if (reports.dropped != 0) taken.push_back("... and " + std::to_string(reports.dropped) + " more");
  reports.dropped = 0;
  return taken;
}

void InstallGlDebugCallback() {
  if (!GlDebugContextsEnabled()) return;
  // Core since 4.3; a 3.3 context has it through KHR_debug, which Mesa always offers.
  if (epoxy_gl_version() < 43 && !epoxy_has_gl_extension("GL_KHR_debug")) {
    // Said as a fault, so that a test counting on the reports does not pass unheard.
    Record("GL error (high): this OpenGL has no debug output; nothing can be reported");
    return;
  }
  glDebugMessageCallback(OnDebugMessage, nullptr);
  glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_TRUE);
  glEnable(GL_DEBUG_OUTPUT);
  glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
}

}  // namespace d3d8
