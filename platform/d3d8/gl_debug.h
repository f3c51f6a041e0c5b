// OpenGL debug contexts for tests and tools: the driver reports each error of a GL call
// (and each call whose result is undefined) to a callback, at the call itself, instead of
// leaving it to a glGetError nobody makes. Off by default: a debug context may be slower.
#pragma once

#include <string>
#include <vector>

namespace d3d8 {

// Contexts created from now on are debug contexts that record what the driver reports.
// Call it before the device is created; contexts that exist keep what they were made with.
// The environment variable ORCHARD_GL_DEBUG=1 turns it on as well (for the tools); what is
// recorded then is also written to stderr as it happens, since no one may take it.
void EnableGlDebugContexts(bool enabled);
bool GlDebugContextsEnabled();

// The reports recorded since the last call, oldest first, one line each, for example
// "GL error (high): GL_INVALID_ENUM in glEnable(0xffff)". Recorded are errors, undefined
// behaviour, and portability problems of high severity; performance hints and notes are
// not. At most the first 1000 are kept, then one line says how many more there were.
std::vector<std::string> TakeGlDebugErrors();

// For the context code: on the current context, when debug contexts are enabled, installs
// the callback with synchronous output, so that a report comes from inside the GL call
// that caused it (its stack shows the caller).
void InstallGlDebugCallback();

}  // namespace d3d8
