// The Win32 user-interface and system operations the demo relies on, with their Windows
// names and constants, implemented on SDL2. Only the behaviour the demo depends on is
// imitated: a message queue per program, window procedures called synchronously, the quit
// state that is delivered once the queue is empty, low-priority timer messages, and modal
// warning boxes.
#pragma once

#include <functional>

#include "platform/win32/types.h"

struct HWND__;  // a window of our layer; the handle is its address
struct HINSTANCE__;
struct HICON__;
struct HCURSOR__;
struct HBRUSH__;
struct HMENU__;
using HWND = HWND__*;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using HICON = HICON__*;
using HCURSOR = HCURSOR__*;
using HBRUSH = HBRUSH__*;
using HMENU = HMENU__*;
using ATOM = WORD;
using LPCSTR = const char*;
using LPSTR = char*;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// ---- messages -------------------------------------------------------------------------
inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_NCDESTROY = 0x0082;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_SYSKEYUP = 0x0105;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;

// ---- virtual keys ---------------------------------------------------------------------
inline constexpr UINT VK_BACK = 0x08;
inline constexpr UINT VK_TAB = 0x09;
inline constexpr UINT VK_RETURN = 0x0D;
inline constexpr UINT VK_SHIFT = 0x10;
inline constexpr UINT VK_ESCAPE = 0x1B;
inline constexpr UINT VK_SPACE = 0x20;
inline constexpr UINT VK_LEFT = 0x25;
inline constexpr UINT VK_UP = 0x26;
inline constexpr UINT VK_RIGHT = 0x27;
inline constexpr UINT VK_DOWN = 0x28;
inline constexpr UINT VK_F1 = 0x70;

// ---- window class and window styles ---------------------------------------------------
inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;

inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
inline constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
inline constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

inline constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;

// Classic (Windows 2000) metrics of an overlapped window: a 4-pixel sizing frame on every
// side and a 19-pixel caption, so an 800 x 600 outer window has a 792 x 573 client area.
inline constexpr int SM_CXSIZEFRAME = 4;
inline constexpr int SM_CYSIZEFRAME = 4;
inline constexpr int SM_CYCAPTION = 19;

// ---- message queue --------------------------------------------------------------------
inline constexpr UINT PM_NOREMOVE = 0;
inline constexpr UINT PM_REMOVE = 1;

struct POINT {
  LONG x = 0;
  LONG y = 0;
};

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt;
};

struct WNDCLASSA {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
};

// ---- dialogs --------------------------------------------------------------------------
using INT_PTR = std::intptr_t;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

inline constexpr DWORD DS_3DLOOK = 0x0004;
inline constexpr DWORD DS_SETFONT = 0x0040;
inline constexpr DWORD DS_MODALFRAME = 0x0080;
inline constexpr DWORD DS_SETFOREGROUND = 0x0200;
inline constexpr DWORD DS_CENTER = 0x0800;
inline constexpr DWORD DS_CONTEXTHELP = 0x2000;

inline constexpr DWORD BS_PUSHBUTTON = 0x0;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
inline constexpr DWORD BS_CHECKBOX = 0x2;
inline constexpr DWORD BS_AUTOCHECKBOX = 0x3;
inline constexpr DWORD BS_RADIOBUTTON = 0x4;
inline constexpr DWORD BS_GROUPBOX = 0x7;
inline constexpr DWORD BS_AUTORADIOBUTTON = 0x9;
inline constexpr DWORD BS_TYPEMASK = 0xF;
inline constexpr DWORD BS_VCENTER = 0x0C00;
inline constexpr DWORD SS_BITMAP = 0x000E;
inline constexpr DWORD SS_TYPEMASK = 0x001F;

inline constexpr WORD BN_CLICKED = 0;
inline constexpr UINT BST_UNCHECKED = 0;
inline constexpr UINT BST_CHECKED = 1;
inline constexpr UINT BST_INDETERMINATE = 2;

constexpr WPARAM MAKEWPARAM(WORD low, WORD high) {
  return static_cast<WPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}

// ---- message boxes --------------------------------------------------------------------
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_ICONWARNING = 0x00000030;
inline constexpr UINT MB_ICONEXCLAMATION = MB_ICONWARNING;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// ---- display modes --------------------------------------------------------------------
inline constexpr DWORD CDS_FULLSCREEN = 0x00000004;
inline constexpr DWORD DM_BITSPERPEL = 0x00040000;
inline constexpr DWORD DM_PELSWIDTH = 0x00080000;
inline constexpr DWORD DM_PELSHEIGHT = 0x00100000;
inline constexpr DWORD DM_DISPLAYFREQUENCY = 0x00400000;
inline constexpr LONG DISP_CHANGE_SUCCESSFUL = 0;
inline constexpr LONG DISP_CHANGE_FAILED = -1;

// The fields of the display-mode record that a mode change reads.
struct DEVMODEA {
  WORD dmSize = 0;
  DWORD dmFields = 0;
  DWORD dmBitsPerPel = 0;
  DWORD dmPelsWidth = 0;
  DWORD dmPelsHeight = 0;
  DWORD dmDisplayFrequency = 0;
};

// ---- resources ------------------------------------------------------------------------
// Integer resource names, as MAKEINTRESOURCE makes them.
inline LPCSTR MAKEINTRESOURCEA(WORD id) {
  return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(id));
}
inline const LPCSTR IDI_APPLICATION = MAKEINTRESOURCEA(32512);
inline const LPCSTR IDC_ARROW = MAKEINTRESOURCEA(32512);

// ---- GDI fonts ------------------------------------------------------------------------
// The GDI font description that CreateFontA takes and D3DXCreateFont turns into a font.
struct LOGFONTA {
  LONG lfHeight = 0;  // negative: character height in pixels
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = 0;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  char lfFaceName[32] = {};
};

inline constexpr LONG FW_LIGHT = 300;
inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE OUT_TT_PRECIS = 4;
inline constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
inline constexpr BYTE ANTIALIASED_QUALITY = 4;

struct HFONT__;
using HFONT = HFONT__*;

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                  DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                  DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                  LPCSTR faceName);

// ---- operations -----------------------------------------------------------------------
HMODULE GetModuleHandleA(LPCSTR moduleName);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);

ATOM RegisterClassA(const WNDCLASSA* windowClass);
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param);
BOOL ShowWindow(HWND window, int showCommand);
BOOL UpdateWindow(HWND window);
BOOL SetForegroundWindow(HWND window);
BOOL DestroyWindow(HWND window);
BOOL SetWindowTextA(HWND window, LPCSTR text);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL GetClientRect(HWND window, RECT* rect);
// The outer rectangle of a window whose client area is *rect (no menu bars here).
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL hasMenu, DWORD exStyle);
BOOL IsWindow(HWND window);

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

using TIMERPROC = void (*)(HWND, UINT, std::uintptr_t, DWORD);
std::uintptr_t SetTimer(HWND window, std::uintptr_t id, UINT periodMs, TIMERPROC callback);

DWORD GetTickCount();
int ShowCursor(BOOL show);
LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Runs a dialog template of the program's resources modally; returns EndDialog's result,
// 0 when a quit ended the dialog (the quit stays pending), -1 when it cannot be shown.
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc,
                        LPARAM initParam);
BOOL EndDialog(HWND dialog, INT_PTR result);
BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);

// number * numerator / denominator, rounded to the nearest integer (halves away from zero);
// -1 when denominator is 0.
int MulDiv(int number, int numerator, int denominator);

// wsprintfA formats like printf (the demo uses %s and %d); like Windows it writes at most
// 1024 bytes, the terminating zero included.
int wsprintfA(LPSTR buffer, LPCSTR format, ...);

// ---- our own hooks, not Windows operations ----------------------------------------------
namespace win32 {

// The SDL window behind a handle, for the device and the dialog manager of our layer
// (returned as void* so that callers need not include SDL).
void* NativeWindow(HWND window);

// Called with the exit code whenever PostQuitMessage is called; the trace tool writes it
// into the device trace. Empty by default.
void SetQuitObserver(std::function<void(int)> observer);

// Replaces what MessageBoxA shows (tests collect the texts; the trace tool sends them to
// standard error). An empty handler restores the real boxes.
using MessageBoxHandler = std::function<int(const char* text, const char* caption, UINT type)>;
void SetMessageBoxHandler(MessageBoxHandler handler);

// The description a font handle of CreateFontA stands for; null for an unknown handle.
const LOGFONTA* FontDescription(HFONT font);

// True while a quit is posted and not yet taken from the queue.
bool QuitPending();

// Called by a modal dialog's loop, instead of waiting, whenever its queue is empty: tests
// script a dialog's input through it. An empty hook restores waiting.
using DialogIdleHook = std::function<void(HWND dialog)>;
void SetDialogIdleHook(DialogIdleHook hook);

// The id of the control of a running dialog that has the keyboard focus; 0 if none.
int DialogFocusId(HWND dialog);

// A control's rectangle in pixels of the dialog's SDL window, the coordinates mouse events
// carry; false for an unknown dialog or id.
bool DialogItemRectInWindow(HWND dialog, int id, RECT* rect);

// Full screen over the whole desktop at its own mode, without a mode switch, or back to
// the window as it was. For front ends beyond the original; false for an unknown window
// or when the video driver refuses.
bool SetDesktopFullscreen(HWND window, bool on);
bool IsDesktopFullscreen(HWND window);

// Back to the state of a fresh process: no windows, no classes, no quit, no timers.
// For tests, which run many programs' worth of window work in one process.
void ResetForTests();

}  // namespace win32
