// The message queue of the program's one thread: posted messages, input from SDL, the quit
// state, WM_PAINT while a window is invalid, and WM_TIMER for expired timers.
//
// Order of retrieval, as Windows does it: posted and input messages first; then the quit,
// once nothing else is posted; then WM_PAINT; then WM_TIMER. WM_PAINT and WM_TIMER are never
// queued: they are made up when asked for, so they cannot pile up behind a stall.
#include "platform/win32/internal.h"

namespace win32 {

namespace {

UINT VirtualKeyFor(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return static_cast<UINT>('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return static_cast<UINT>('0' + (key - SDLK_0));
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + static_cast<UINT>(key - SDLK_F1);
  switch (key) {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_TAB: return VK_TAB;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    default: return 0;
  }
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg;
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = GetTickCount();
  State().posted.push_back(msg);
}

// lParam of a key message: repeat count 1, the scan code, bit 30 = key was down before,
// bit 31 = key is being released.
LPARAM KeyLParam(const SDL_KeyboardEvent& key, bool release) {
  std::uint32_t value = 1u | (static_cast<std::uint32_t>(key.keysym.scancode & 0xFF) << 16);
  if (release || key.repeat != 0) value |= 1u << 30;
  if (release) value |= 1u << 31;
  return static_cast<LPARAM>(static_cast<std::int32_t>(value));
}

LPARAM PointLParam(int x, int y) {
  return static_cast<LPARAM>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                             static_cast<std::uint32_t>(x & 0xFFFF));
}

void Translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      HWND window = FindWindowBySdlId(event.key.windowID);
      const UINT vk = VirtualKeyFor(event.key.keysym.sym);
      if (window == nullptr || vk == 0) return;
      const bool release = event.type == SDL_KEYUP;
      Post(window, release ? WM_KEYUP : WM_KEYDOWN, vk, KeyLParam(event.key, release));
      return;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      HWND window = FindWindowBySdlId(event.button.windowID);
      if (window == nullptr || event.button.button != SDL_BUTTON_LEFT) return;
      Post(window, event.type == SDL_MOUSEBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP, 0,
           PointLParam(event.button.x, event.button.y));
      return;
    }
    case SDL_MOUSEMOTION: {
      HWND window = FindWindowBySdlId(event.motion.windowID);
      if (window != nullptr) Post(window, WM_MOUSEMOVE, 0, PointLParam(event.motion.x, event.motion.y));
      return;
    }
    case SDL_WINDOWEVENT: {
      HWND window = FindWindowBySdlId(event.window.windowID);
      if (window == nullptr) return;
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
        // The close box: Windows sends WM_CLOSE, whose default handling destroys the window.
        Post(window, WM_CLOSE, 0, 0);
      } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                 event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        window->needsPaint = true;
      }
      return;
    }
    default:
      // SDL_QUIT (the last window closing) is not a Windows message: the close itself
      // arrives as SDL_WINDOWEVENT_CLOSE above.
      return;
  }
}

bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
  if (window != nullptr && msg.hwnd != window) return false;
  if (filterMin == 0 && filterMax == 0) return true;
  return msg.message >= filterMin && msg.message <= filterMax;
}

}  // namespace

void PumpSdlEvents() {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) Translate(event);
}

void SetQuitObserver(std::function<void(int)> observer) {
  State().quitObserver = std::move(observer);
}

bool QuitPending() { return State().quitPending; }

void ResetForTests() {
  auto& state = State();
  for (auto& window : state.windows) {
    if (window->sdl != nullptr) SDL_DestroyWindow(window->sdl);
  }
  state = LayerState{};
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

}  // namespace win32

using namespace win32;

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (msg == nullptr) return FALSE;
  auto& state = State();
  const bool remove = (removeFlags & PM_REMOVE) != 0;
  PumpSdlEvents();

  for (auto it = state.posted.begin(); it != state.posted.end(); ++it) {
    if (!Matches(*it, window, filterMin, filterMax)) continue;
    *msg = *it;
    if (remove) state.posted.erase(it);
    return TRUE;
  }

  if (state.quitPending && window == nullptr) {
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = static_cast<WPARAM>(state.quitCode);
    msg->time = GetTickCount();
    if (remove) state.quitPending = false;
    return TRUE;
  }

  for (auto& candidate : state.windows) {
    if (!candidate->alive || !candidate->needsPaint) continue;
    if (window != nullptr && candidate.get() != window) continue;
    MSG paint;
    paint.hwnd = candidate.get();
    paint.message = WM_PAINT;
    paint.time = GetTickCount();
    if (!Matches(paint, window, filterMin, filterMax)) continue;
    *msg = paint;  // WM_PAINT stays until the window is validated
    return TRUE;
  }

  const DWORD now = GetTickCount();
  for (auto& timer : state.timers) {
    // Signed difference, so the comparison survives the wrap of the tick count.
    if (static_cast<std::int32_t>(now - timer.dueTick) < 0) continue;
    if (window != nullptr && timer.window != window) continue;
    MSG tick;
    tick.hwnd = timer.window;
    tick.message = WM_TIMER;
    tick.wParam = timer.id;
    tick.lParam = reinterpret_cast<LPARAM>(timer.callback);
    tick.time = now;
    if (!Matches(tick, window, filterMin, filterMax)) continue;
    *msg = tick;
    // One message per expiry check: periods missed during a stall do not accumulate.
    if (remove) timer.dueTick = now + timer.periodMs;
    return TRUE;
  }
  return FALSE;
}

BOOL TranslateMessage(const MSG* msg) {
  if (msg == nullptr || msg->message != WM_KEYDOWN) return FALSE;
  const auto vk = static_cast<UINT>(msg->wParam);
  char ch = 0;
  if (vk >= 'A' && vk <= 'Z') ch = static_cast<char>(vk - 'A' + 'a');
  else if ((vk >= '0' && vk <= '9') || vk == VK_SPACE || vk == VK_RETURN || vk == VK_TAB ||
           vk == VK_ESCAPE || vk == VK_BACK)
    ch = static_cast<char>(vk);
  if (ch == 0) return FALSE;
  MSG character = *msg;
  character.message = WM_CHAR;
  character.wParam = static_cast<WPARAM>(ch);
  State().posted.push_front(character);  // delivered before anything posted later
  return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (msg == nullptr) return 0;
  if (msg->message == WM_TIMER && msg->lParam != 0) {
    auto callback = reinterpret_cast<TIMERPROC>(msg->lParam);
    callback(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
    return 0;
  }
  return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window != nullptr && !IsLive(window)) return FALSE;
  MSG msg;
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = GetTickCount();
  State().posted.push_back(msg);
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  // Windows marks the queue as quitting; WM_QUIT is made when nothing else is posted.
  auto& state = State();
  state.quitPending = true;
  state.quitCode = exitCode;
  if (state.quitObserver) state.quitObserver(exitCode);
}

std::uintptr_t SetTimer(HWND window, std::uintptr_t id, UINT periodMs, TIMERPROC callback) {
  if (window != nullptr && !IsLive(window)) return 0;
  auto& timers = State().timers;
  const DWORD due = GetTickCount() + periodMs;
  for (auto& timer : timers) {
    if (timer.window == window && timer.id == id) {
      timer.periodMs = periodMs;
      timer.callback = callback;
      timer.dueTick = due;
      return id == 0 ? 1 : id;
    }
  }
  timers.push_back(Timer{window, id, periodMs, callback, due});
  // SetTimer returns non-zero on success; for a window timer that is the identifier,
  // and a timer of identifier 0 still reports success.
  return id == 0 ? 1 : id;
}
