#include "platform/d3d8/gl_objects.h"

#include <string>

namespace d3d8 {

namespace {

std::string ShaderLog(GLuint shader) {
  GLint length = 0;
  glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
  std::string log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
  glGetShaderInfoLog(shader, length, nullptr, log.data());
  return log;
}

GLuint Compile(GLenum type, const char* source, std::string* error) {
  const GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok == GL_TRUE) return shader;
  if (error != nullptr)
    *error = std::string(type == GL_VERTEX_SHADER ? "vertex" : "fragment") + " shader: " + ShaderLog(shader);
  glDeleteShader(shader);
  return 0;
}

}  // namespace

GlProgram LinkGlProgram(const char* vertexSource, const char* fragmentSource, std::string* error) {
  const GLuint vertex = Compile(GL_VERTEX_SHADER, vertexSource, error);
  if (vertex == 0) return {};
  const GLuint fragment = Compile(GL_FRAGMENT_SHADER, fragmentSource, error);
  if (fragment == 0) {
    glDeleteShader(vertex);
    return {};
  }
  GlProgram program(glCreateProgram());
  glAttachShader(program.get(), vertex);
  glAttachShader(program.get(), fragment);
  glLinkProgram(program.get());
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint ok = GL_FALSE;
  glGetProgramiv(program.get(), GL_LINK_STATUS, &ok);
  if (ok == GL_TRUE) return program;
  if (error != nullptr) {
    GLint length = 0;
    glGetProgramiv(program.get(), GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    glGetProgramInfoLog(program.get(), length, nullptr, log.data());
    *error = "link: " + log;
  }
  return {};
}

}  // namespace d3d8
