// Modal dialogs from the program's dialog templates: DialogBoxParamA with its own message
// loop, the keyboard interface of dialogs (Tab, arrows, Enter, Esc, Space), mouse clicks on
// buttons, and the button operations of dialog procedures.
//
// A dialog is a window of the layer with its own SDL window; its controls are not windows
// of their own but parts of the dialog, drawn by us into the window's surface. The SDL
// window holds the client area and, around it, the sunken 2-pixel client edge of
// WS_EX_CLIENTEDGE; the window manager draws the caption and frame.
#include <algorithm>

#include "platform/win32/dialog_drawing.h"
#include "platform/win32/dialog_units.h"
#include "platform/win32/dialog_window_hints.h"
#include "platform/win32/internal.h"
#include "platform/win32/resource_registry.h"

namespace win32 {

namespace {

// Classic metrics of a caption window without a sizing frame: a 3-pixel dialog frame on
// every side and the caption above the client area.
constexpr int kDialogFrame = 3;
constexpr int kScreenDpi = 96;
// An idle dialog sleeps between looks at its queue. It does not wait in SDL_WaitEvent: SDL
// then wakes the wait through a second X connection with an event sent to the dialog's
// window, and one that arrives after the dialog is destroyed is an X error that ends the
// program.
constexpr Uint32 kIdleSleepMs = 10;

LRESULT DialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

DialogIdleHook& IdleHook() {
  static DialogIdleHook hook;
  return hook;
}

std::optional<std::size_t> Index(int i) {
  return i < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(i));
}

class Dialog {
 public:
  Dialog(const DialogTemplate& dialogTemplate, DLGPROC proc)
      : template_(dialogTemplate), proc_(proc) {}
  ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  bool Create();
  INT_PTR RunModal(LPARAM initParam);
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  HWND Handle() const { return window_; }
  void End(INT_PTR result);
  Control* FindControl(int id);
  template <typename Visit>
  void ForEachControl(Visit visit) {
    for (Control& control : controls_) visit(control);
  }
  int FocusId() const { return focus_ >= 0 ? controls_[static_cast<std::size_t>(focus_)].id : 0; }
  int ClientEdge() const { return clientEdge_; }

 private:
  bool HandleInput(const MSG& msg);
  bool HandleKeyDown(UINT key);
  void HandleKeyUp(UINT key);
  void HandleMouse(UINT message, LPARAM lParam);
  void Enter();
  void Arrow(bool backwards);
  void Click(std::size_t index);
  void SetFocus(std::optional<std::size_t> index);
  void SendCommand(int id);
  void Invalidate() { window_->needsPaint = true; }
  void Paint();
  bool ShiftDown() const { return shiftDown_ || (SDL_GetModState() & KMOD_SHIFT) != 0; }

  DialogTemplate template_;
  DLGPROC proc_;
  HWND window_ = nullptr;
  std::unique_ptr<DialogFont> font_;
  std::vector<Control> controls_;
  int clientEdge_ = 0;
  int focus_ = -1;
  int captured_ = -1;      // the control the mouse button went down on
  int spacePressed_ = -1;  // the control the space bar went down on
  bool shiftDown_ = false;
  std::optional<int> defaultId_;
  bool ended_ = false;
  INT_PTR result_ = 0;
};

std::vector<Dialog*>& RunningDialogs() {
  static std::vector<Dialog*> dialogs;
  return dialogs;
}

Dialog* FindDialog(HWND window) {
  for (Dialog* dialog : RunningDialogs())
    if (window != nullptr && dialog->Handle() == window) return dialog;
  return nullptr;
}

Dialog::~Dialog() {
  std::erase(RunningDialogs(), this);
  if (IsLive(window_)) DestroyWindow(window_);
}

bool Dialog::Create() {
  font_ = DialogFont::Open(template_.fontFace, MulDiv(template_.pointSize, kScreenDpi, 72));
  const BaseUnits units =
      font_ ? BaseUnitsFromMetrics(font_->WidthOf52Letters(), font_->Height()) : BaseUnits{};
  const RECT client = DialogRectToPixels(0, 0, template_.cx, template_.cy, units);

  for (const DialogItemTemplate& item : template_.items) {
    Control control;
    control.id = item.id;
    control.kind = KindOf(item);
    control.style = item.style;
    control.text = item.text;
    control.rect = DialogRectToPixels(item.x, item.y, item.cx, item.cy, units);
    const DWORD type = item.style & BS_TYPEMASK;
    control.automatic = type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON;
    control.defaultButton = control.kind == ControlKind::PushButton && type == BS_DEFPUSHBUTTON;
    // The last default push button of the template is the dialog's default.
    if (control.defaultButton) defaultId_ = control.id;
    if (control.kind == ControlKind::Picture) {
      if (const auto* file = FindBitmapResource(item.imageResource))
        control.picture = DecodeBmp(*file);
      if (control.picture) {
        // A picture control takes the size of its bitmap; only its top-left corner is kept.
        const int border = (item.style & WS_BORDER) != 0 ? 2 : 0;
        control.rect.right = control.rect.left + control.picture->width + 2 * border;
        control.rect.bottom = control.rect.top + control.picture->height + 2 * border;
      }
    }
    controls_.push_back(std::move(control));
  }

  clientEdge_ = (template_.exStyle & WS_EX_CLIENTEDGE) != 0 ? 2 : 0;
  const int width = client.right + 2 * clientEdge_;
  const int height = client.bottom + 2 * clientEdge_;
  const int captionHeight = (template_.style & WS_CAPTION) == WS_CAPTION ? SM_CYCAPTION : 0;
  const int outerWidth = width + 2 * kDialogFrame;
  const int outerHeight = height + 2 * kDialogFrame + captionHeight;

  SDL_Rect work{0, 0, 1024, 768};
  SDL_GetDisplayUsableBounds(0, &work);
  int outerX = MulDiv(template_.x, units.x, 4);
  int outerY = MulDiv(template_.y, units.y, 8);
  if ((template_.style & DS_CENTER) != 0) {
    outerX = work.x + (work.w - outerWidth) / 2;
    outerY = work.y + (work.h - outerHeight) / 2;
  }
  // Nudged into the work area, as Windows does with any dialog.
  outerX = std::max(work.x, std::min(outerX, work.x + work.w - outerWidth));
  outerY = std::max(work.y, std::min(outerY, work.y + work.h - outerHeight));

  // Dialogs are drawn in software into the window's own surface. Without this, SDL may
  // put an accelerated renderer behind the surface and re-create the window for it.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_Window* sdl =
      SDL_CreateWindow(template_.caption.c_str(), outerX + kDialogFrame,
                       outerY + kDialogFrame + captionHeight, width, height, SDL_WINDOW_HIDDEN);
  if (sdl == nullptr) return false;

  auto window = std::make_unique<HWND__>();
  window->sdl = sdl;
  window->proc = DialogWindowProc;
  window->className = "#32770";  // the dialog class
  window->title = template_.caption;
  window->style = template_.style;
  window->exStyle = template_.exStyle;
  window->outerWidth = outerWidth;
  window->outerHeight = outerHeight;
  window_ = window.get();
  State().windows.push_back(std::move(window));
  RunningDialogs().push_back(this);
  return true;
}

INT_PTR Dialog::RunModal(LPARAM initParam) {
  // Controls are parts of the dialog, not windows, so there is no control handle to pass.
  proc_(window_, WM_INITDIALOG, 0, initParam);
  // Whatever the procedure answered, the dialog activates with the focus on the first tab
  // stop unless the procedure placed it.
  if (focus_ < 0) SetFocus(NextTabStop(controls_, std::nullopt, false));
  if (!ended_ && (template_.style & WS_VISIBLE) != 0 && IsLive(window_)) {
    SDL_ShowWindow(window_->sdl);
    // After showing: SDL sets its own frame hints while it maps the window.
    if ((template_.style & WS_SYSMENU) == 0) RequestFrameWithoutCloseBox(window_->sdl);
    if ((template_.style & DS_SETFOREGROUND) != 0) SDL_RaiseWindow(window_->sdl);
    Invalidate();
  }

  while (!ended_) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (IdleHook()) {
        IdleHook()(window_);
      } else {
        SDL_Delay(kIdleSleepMs);
      }
      continue;
    }
    if (msg.message == WM_QUIT) {
      // The quit ends the dialog and is put back, so the caller's own loop sees it too. It
      // is the same quit, so the quit observer is not told again.
      State().quitPending = true;
      State().quitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (!IsLive(window_)) break;
    if (!HandleInput(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  const INT_PTR result = ended_ ? result_ : 0;
  if (IsLive(window_)) DestroyWindow(window_);
  return result;
}

LRESULT Dialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const INT_PTR handled = proc_(window_, message, wParam, lParam);
  if (handled != 0) return handled;
  // What the dialog class does with what the procedure left alone.
  switch (message) {
    case WM_PAINT:
      Paint();
      ValidateRect(window_, nullptr);
      return 0;
    case WM_CLOSE:
      // The window manager's close: the cancel command, which the procedure may ignore.
      PostMessageA(window_, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(IDCANCEL), BN_CLICKED), 0);
      return 0;
    default:
      return 0;
  }
}

void Dialog::End(INT_PTR result) {
  ended_ = true;
  result_ = result;
  if (IsLive(window_)) SDL_HideWindow(window_->sdl);
}

Control* Dialog::FindControl(int id) {
  for (Control& control : controls_)
    if (control.id == id) return &control;
  return nullptr;
}

// The keyboard and mouse work of the dialog and its buttons; true if the message was used.
bool Dialog::HandleInput(const MSG& msg) {
  if (msg.hwnd != window_) return false;
  switch (msg.message) {
    case WM_KEYDOWN:
      return HandleKeyDown(static_cast<UINT>(msg.wParam));
    case WM_KEYUP:
      HandleKeyUp(static_cast<UINT>(msg.wParam));
      return true;
    case WM_CHAR:
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
      HandleMouse(msg.message, msg.lParam);
      return true;
    default:
      return false;
  }
}

bool Dialog::HandleKeyDown(UINT key) {
  switch (key) {
    case VK_SHIFT:
      shiftDown_ = true;
      return true;
    case VK_TAB:
      SetFocus(NextTabStop(controls_, Index(focus_), ShiftDown()));
      return true;
    case VK_LEFT:
    case VK_UP:
      Arrow(true);
      return true;
    case VK_RIGHT:
    case VK_DOWN:
      Arrow(false);
      return true;
    case VK_RETURN:
      Enter();
      return true;
    case VK_ESCAPE:
      SendMessageA(window_, WM_COMMAND, static_cast<WPARAM>(IDCANCEL), 0);
      return true;
    case VK_SPACE:
      // The focused button goes down now and is clicked when the key comes up; held keys
      // repeat WM_KEYDOWN without effect.
      if (focus_ >= 0 && spacePressed_ < 0) {
        spacePressed_ = focus_;
        controls_[static_cast<std::size_t>(focus_)].pushed = true;
        Invalidate();
      }
      return true;
    default:
      return true;
  }
}

void Dialog::HandleKeyUp(UINT key) {
  if (key == VK_SHIFT) shiftDown_ = false;
  if (key != VK_SPACE || spacePressed_ < 0) return;
  const auto index = static_cast<std::size_t>(spacePressed_);
  spacePressed_ = -1;
  const bool click = controls_[index].pushed && focus_ == static_cast<int>(index);
  controls_[index].pushed = false;
  Invalidate();
  if (click) Click(index);
}

void Dialog::HandleMouse(UINT message, LPARAM lParam) {
  // Positions come relative to the SDL window, which starts with the client edge.
  const int x = static_cast<std::int16_t>(lParam & 0xFFFF) - clientEdge_;
  const int y = static_cast<std::int16_t>((lParam >> 16) & 0xFFFF) - clientEdge_;
  const auto inside = [&](const Control& c) {
    return x >= c.rect.left && x < c.rect.right && y >= c.rect.top && y < c.rect.bottom;
  };
  if (message == WM_LBUTTONDOWN) {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
      if (!TakesFocus(controls_[i]) || !inside(controls_[i])) continue;
      SetFocus(i);
      captured_ = static_cast<int>(i);
      controls_[i].pushed = true;
      Invalidate();
      return;
    }
    return;
  }
  if (captured_ < 0) return;
  const auto index = static_cast<std::size_t>(captured_);
  Control& control = controls_[index];
  if (message == WM_MOUSEMOVE) {
    // The button pops up while the pointer is off it and goes down again when it returns.
    if (control.pushed != inside(control)) {
      control.pushed = inside(control);
      Invalidate();
    }
    return;
  }
  captured_ = -1;
  const bool click = inside(control);
  control.pushed = false;
  Invalidate();
  if (click) Click(index);
}

// Enter presses the focused push button, or else the default one (IDOK without one).
void Dialog::Enter() {
  if (focus_ >= 0 && controls_[static_cast<std::size_t>(focus_)].kind == ControlKind::PushButton) {
    SendCommand(controls_[static_cast<std::size_t>(focus_)].id);
    return;
  }
  SendCommand(defaultId_.value_or(IDOK));
}

// The arrow keys move through the focus control's group; a radio button moved onto is
// selected as if clicked.
void Dialog::Arrow(bool backwards) {
  const std::size_t from = focus_ >= 0 ? static_cast<std::size_t>(focus_) : 0;
  const auto next = NextInGroup(controls_, from, backwards);
  if (!next) return;
  SetFocus(next);
  const Control& target = controls_[*next];
  if (target.kind == ControlKind::RadioButton && target.automatic && target.check != BST_CHECKED)
    Click(*next);
}

void Dialog::Click(std::size_t index) {
  Control& control = controls_[index];
  if (control.automatic && control.kind == ControlKind::CheckBox) {
    control.check = control.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
  } else if (control.automatic && control.kind == ControlKind::RadioButton) {
    for (std::size_t member : GroupMembers(controls_, index)) {
      Control& other = controls_[member];
      if (other.kind == ControlKind::RadioButton && other.automatic)
        other.check = member == index ? BST_CHECKED : BST_UNCHECKED;
    }
  }
  Invalidate();
  SendCommand(control.id);
}

void Dialog::SetFocus(std::optional<std::size_t> index) {
  if (!index) return;
  focus_ = static_cast<int>(*index);
  Invalidate();
}

void Dialog::SendCommand(int id) {
  SendMessageA(window_, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), 0);
}

void Dialog::Paint() {
  SDL_Surface* surface = SDL_GetWindowSurface(window_->sdl);
  if (surface == nullptr) return;
  Canvas canvas(surface->w, surface->h);
  DialogScene scene;
  scene.controls = &controls_;
  scene.font = font_.get();
  scene.focus = Index(focus_);
  scene.clientEdge = clientEdge_;
  // A focused push button shows itself as the default; elsewhere the default button does.
  if (focus_ >= 0 && controls_[static_cast<std::size_t>(focus_)].kind == ControlKind::PushButton) {
    scene.defaultLook = static_cast<std::size_t>(focus_);
  } else {
    for (std::size_t i = 0; i < controls_.size(); ++i)
      if (defaultId_ && controls_[i].id == *defaultId_ &&
          controls_[i].kind == ControlKind::PushButton)
        scene.defaultLook = i;
  }
  DrawDialog(canvas, scene);

  if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
  SDL_ConvertPixels(canvas.Width(), canvas.Height(), SDL_PIXELFORMAT_ARGB8888,
                    canvas.Pixels().data(), canvas.Width() * 4, surface->format->format,
                    surface->pixels, surface->pitch);
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  SDL_UpdateWindowSurface(window_->sdl);
}

LRESULT DialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* dialog = FindDialog(window);
  if (dialog == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return dialog->WindowProc(message, wParam, lParam);
}

bool IsCheckable(const Control& control) {
  return control.kind == ControlKind::CheckBox || control.kind == ControlKind::RadioButton;
}

// SDL falls back to a video driver without any display when it cannot reach the X
// server. A dialog there could never be answered, so it is not shown; only a driver asked
// for by name (tests use the dummy driver) is taken as meant.
bool DialogsCanBeSeen() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr) return false;
  if (SDL_strcmp(driver, "offscreen") != 0 && SDL_strcmp(driver, "dummy") != 0) return true;
  const char* requested = SDL_getenv("SDL_VIDEODRIVER");
  return requested != nullptr && SDL_strcasecmp(requested, driver) == 0;
}

}  // namespace

void SetDialogIdleHook(DialogIdleHook hook) { IdleHook() = std::move(hook); }

int DialogFocusId(HWND dialog) {
  const Dialog* found = FindDialog(dialog);
  return found != nullptr ? found->FocusId() : 0;
}

bool DialogItemRectInWindow(HWND dialog, int id, RECT* rect) {
  Dialog* found = FindDialog(dialog);
  const Control* control = found != nullptr ? found->FindControl(id) : nullptr;
  if (control == nullptr || rect == nullptr) return false;
  const int edge = found->ClientEdge();
  *rect = RECT{control->rect.left + edge, control->rect.top + edge, control->rect.right + edge,
               control->rect.bottom + edge};
  return true;
}

}  // namespace win32

using namespace win32;

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND, DLGPROC proc, LPARAM initParam) {
  const DialogTemplate* dialogTemplate = FindDialogResource(templateName);
  if (dialogTemplate == nullptr || proc == nullptr || !EnsureVideo() || !DialogsCanBeSeen())
    return -1;
  Dialog dialog(*dialogTemplate, proc);
  if (!dialog.Create()) return -1;
  return dialog.RunModal(initParam);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  Dialog* found = FindDialog(dialog);
  if (found == nullptr) return FALSE;
  found->End(result);
  return TRUE;
}

// Works on the id range alone, whatever the groups: only the checkable controls in it take
// a state.
BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
  Dialog* found = FindDialog(dialog);
  if (found == nullptr) return FALSE;
  found->ForEachControl([&](Control& control) {
    if (control.id >= firstId && control.id <= lastId && IsCheckable(control))
      control.check = control.id == checkId ? BST_CHECKED : BST_UNCHECKED;
  });
  dialog->needsPaint = true;
  return TRUE;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  Dialog* found = FindDialog(dialog);
  Control* control = found != nullptr ? found->FindControl(id) : nullptr;
  if (control == nullptr || !IsCheckable(*control)) return FALSE;
  control->check = check > BST_INDETERMINATE ? BST_CHECKED : check;
  dialog->needsPaint = true;
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  Dialog* found = FindDialog(dialog);
  const Control* control = found != nullptr ? found->FindControl(id) : nullptr;
  return control != nullptr && IsCheckable(*control) ? control->check : BST_UNCHECKED;
}
