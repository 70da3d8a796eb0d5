#include "platform/win32/DialogViews.h"

#include "app/AboutDlg.h"
#include "app/FSettings.h"
#include "app/SettingsDialog.h"
#include "gl/Errors.h"
#include "scene/SceneImages.h"
#include "shell/AppPro.h"
#include "shell/GLScreenSaver.h"
#include "platform/win32/WinApplication.h"
#include "platform/win32/WinText.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <string>

namespace {

constexpr wchar_t kFormClass[] = L"PyrelumeDialog";
constexpr wchar_t kPanelClass[] = L"PyrelumePanel";
constexpr UINT_PTR kSyncTimer = 1;
constexpr UINT kSyncPeriodMs = 200;

HWND AsHwnd(TWindowHandle h) { return reinterpret_cast<HWND>(h); }
TWindowHandle AsHandle(HWND h) { return reinterpret_cast<TWindowHandle>(h); }

void ReportError(const std::exception& e)
{
    if (TWinApplication* app = CurrentWinApplication())
        app->ReportException(e);
    else
        MessageBoxW(nullptr, Widen(e.what()).c_str(), L"Pyrelume", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

// Track bars live in the common-controls library; with the program's manifest
// this loads version 6 (the themed controls).
void InitCommonControlsOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    using PFN_InitCommonControlsEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    if (HMODULE lib = LoadLibraryW(L"comctl32.dll")) {
        auto init = reinterpret_cast<PFN_InitCommonControlsEx>(
            reinterpret_cast<void*>(GetProcAddress(lib, "InitCommonControlsEx")));
        if (init) {
            INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
            init(&icc);
        }
    }
}

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CheckListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

bool RegisterClasses()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(instance, kFormClass, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &FormProc;
        wc.hInstance = instance;
        wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kFormClass;
        if (!RegisterClassExW(&wc))
            return false;
    }
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(instance, kPanelClass, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &DefWindowProcW;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = kPanelClass;
        if (!RegisterClassExW(&wc))
            return false;
    }
    return true;
}

COLORREF ColorOf(TColorRef color, int systemColor)
{
    return color == clDefault ? GetSysColor(systemColor) : static_cast<COLORREF>(color & 0xFFFFFFu);
}

bool SameBounds(const TRect& a, const TRect& b)
{
    return a.Left == b.Left && a.Top == b.Top && a.Width == b.Width && a.Height == b.Height;
}

bool SameFont(const TControlFont& a, const TControlFont& b)
{
    return a.Name == b.Name && a.Height == b.Height && a.Size == b.Size && a.Bold == b.Bold &&
           a.Underline == b.Underline && a.Color == b.Color;
}

bool IsDefaultFont(const TControlFont& f)
{
    return f.Name.empty() && f.Height == 0 && f.Size == 0 && !f.Bold && !f.Underline;
}

// A control's font: its own fields, the form's where its own are empty.
TControlFont EffectiveFont(const TControlFont& own, const TControlFont& form)
{
    if (IsDefaultFont(own)) {
        TControlFont f = form;
        if (own.Color != clDefault)
            f.Color = own.Color;
        return f;
    }
    TControlFont f = own;
    if (f.Name.empty())
        f.Name = form.Name;
    if (f.Height == 0 && f.Size == 0) {
        f.Height = form.Height;
        f.Size = form.Size;
    }
    if (f.Color == clDefault)
        f.Color = form.Color;
    return f;
}

// A 24-bit top-down device-independent bitmap of a picture.
struct TDib {
    BITMAPINFO Info{};
    std::vector<std::uint8_t> Bits;
    bool Empty() const { return Bits.empty(); }
};

TDib MakeDib(const TBitmapImage& image)
{
    TDib dib;
    if (image.Empty())
        return dib;
    const int stride = (image.Width * 3 + 3) & ~3;
    dib.Bits.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(image.Height), 0);
    for (int y = 0; y < image.Height; ++y) {
        std::uint8_t* row = dib.Bits.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
        for (int x = 0; x < image.Width; ++x)
            image.GetBGR(x, y, row[x * 3], row[x * 3 + 1], row[x * 3 + 2]);
    }
    BITMAPINFOHEADER& h = dib.Info.bmiHeader;
    h.biSize = sizeof(h);
    h.biWidth = image.Width;
    h.biHeight = -image.Height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    return dib;
}

// ---- Dots per inch ----

int SystemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

// The monitor's own dots per inch where the system tells them (Windows 8.1
// and later), the system's otherwise.
int MonitorDpi(HMONITOR monitor)
{
    using PFN_GetDpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpi = [] {
        HMODULE shcore = LoadLibraryW(L"shcore.dll");
        return shcore ? reinterpret_cast<PFN_GetDpiForMonitor>(
                            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    UINT x = 0, y = 0;
    if (monitor && getDpi && getDpi(monitor, 0 /* effective */, &x, &y) == S_OK && y > 0)
        return static_cast<int>(y);
    return SystemDpi();
}

// The window rectangle around a client rectangle at dpi.
void AdjustForDpi(RECT& r, DWORD style, DWORD exStyle, int dpi)
{
    using PFN_AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = reinterpret_cast<PFN_AdjustForDpi>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (!adjust || !adjust(&r, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
}

RECT WorkAreaOf(HMONITOR monitor)
{
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (monitor && GetMonitorInfoW(monitor, &info))
        return info.rcWork;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

constexpr UINT kDpiChanged = 0x02E0; // WM_DPICHANGED

} // namespace

// ---------------------------------------------------------------------------

struct TDialogView::TShown {
    int Id = 0;
    TControlKind Kind = TControlKind::ckLabel;
    HWND Window = nullptr;
    HWND List = nullptr;          // a combo box's drop-down list
    WNDPROC OldProc = nullptr;    // a check list's own window procedure
    TDialogView* View = nullptr;
    TDialogControl State;         // what the window shows now
    TDib Picture;
};

struct TDialogView::TFontEntry {
    TControlFont Font;
    int Dpi = kDesignDpi;
    HFONT Handle = nullptr;
    ~TFontEntry()
    {
        if (Handle)
            DeleteObject(Handle);
    }
};

struct TDialogView::TBrushEntry {
    COLORREF Color = 0;
    HBRUSH Handle = nullptr;
    ~TBrushEntry()
    {
        if (Handle)
            DeleteObject(Handle);
    }
};

namespace {

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* view = reinterpret_cast<TDialogView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (view) {
        bool handled = false;
        const std::intptr_t result = view->FormMessage(message, wParam, lParam, handled);
        if (handled)
            return static_cast<LRESULT>(result);
        if (message == WM_NCDESTROY)
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (view->Role() == TDialogView::TRole::rlMainForm && CurrentWinApplication())
            return static_cast<LRESULT>(TWinApplication::MainFormMessage(AsHandle(window), message, wParam, lParam));
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK CheckListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* view = reinterpret_cast<TDialogView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!view)
        return DefWindowProcW(window, message, wParam, lParam);
    return static_cast<LRESULT>(view->CheckListMessage(AsHandle(window), message, wParam, lParam));
}

} // namespace

TDialogView::TDialogView(TDialogModel& model, TWindowHandle owner, TRole role) : model_(model), role_(role)
{
    InitCommonControlsOnce();
    if (!RegisterClasses())
        RaiseError("TDialogView", "Create", "Window classes not registered");
    CreateForm(owner);
    try {
        CreateControls();
    } catch (...) {
        // A half-built form is destroyed before any error leaves the constructor.
        DestroyWindow(AsHwnd(window_));
        window_ = 0;
        throw;
    }
    built_ = true;
    Sync(true);
    SetTimer(AsHwnd(window_), kSyncTimer, kSyncPeriodMs, nullptr);
}

TDialogView::~TDialogView()
{
    built_ = false;
    if (window_ && IsWindow(AsHwnd(window_))) {
        KillTimer(AsHwnd(window_), kSyncTimer);
        SetWindowLongPtrW(AsHwnd(window_), GWLP_USERDATA, 0);
        for (auto& s : shown_)
            if (s->OldProc && IsWindow(s->Window)) {
                SetWindowLongPtrW(s->Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s->OldProc));
                SetWindowLongPtrW(s->Window, GWLP_USERDATA, 0);
            }
        DestroyWindow(AsHwnd(window_));
    }
    window_ = 0;
}

namespace {

constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;

DWORD FormStyle(const TDialogForm& form) { return kFormStyle | (form.BorderIcons ? WS_SYSMENU : 0); }

DWORD FormExStyle(const TDialogForm& form)
{
    return WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | (form.StayOnTop ? WS_EX_TOPMOST : 0);
}

} // namespace

SIZE TDialogView::OuterSize(int dpi) const
{
    const TDialogForm& form = model_.Form;
    if (form.Width > 0 && form.Height > 0)
        return {ScaleToDpi(form.Width, dpi), ScaleToDpi(form.Height, dpi)};
    RECT r{0, 0, ScaleToDpi(form.ClientWidth, dpi), ScaleToDpi(form.ClientHeight, dpi)};
    AdjustForDpi(r, FormStyle(form), FormExStyle(form), dpi);
    return {r.right - r.left, r.bottom - r.top};
}

int TDialogView::FittingDpi(int dpi, const RECT& work) const
{
    // A dialog larger than the work area at the monitor's scale is shown at
    // the largest scale that fits (never below the designed size).
    const int workWidth = work.right - work.left;
    const int workHeight = work.bottom - work.top;
    while (dpi > kDesignDpi) {
        const SIZE size = OuterSize(dpi);
        if (size.cx <= workWidth && size.cy <= workHeight)
            break;
        dpi = std::max(kDesignDpi, dpi - 4);
    }
    return dpi;
}

void TDialogView::CreateForm(TWindowHandle owner)
{
    const TDialogForm& form = model_.Form;
    const DWORD style = FormStyle(form);
    const DWORD exStyle = FormExStyle(form);

    // The monitor the dialog goes to: the owner's when centred on it, the
    // primary monitor's when centred on the desktop, else the one under its
    // designed position. Its work area keeps the dialog on screen, and its
    // dots per inch give the dialog its scale.
    RECT o{};
    const bool onOwner = form.Placement == TFormPlacement::fpMainFormCenter && owner &&
                         IsWindowVisible(AsHwnd(owner)) && GetWindowRect(AsHwnd(owner), &o);
    HMONITOR monitor = nullptr;
    if (onOwner)
        monitor = MonitorFromWindow(AsHwnd(owner), MONITOR_DEFAULTTOPRIMARY);
    else if (form.Placement == TFormPlacement::fpDesigned)
        monitor = MonitorFromPoint(POINT{form.Left, form.Top}, MONITOR_DEFAULTTOPRIMARY);
    else
        monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    const RECT work = WorkAreaOf(monitor);
    dpi_ = FittingDpi(MonitorDpi(monitor), work);
    const SIZE size = OuterSize(dpi_);
    const int width = size.cx;
    const int height = size.cy;

    int left = form.Left;
    int top = form.Top;
    if (form.Placement != TFormPlacement::fpDesigned) {
        const RECT centreOn = onOwner ? o : work;
        left = centreOn.left + ((centreOn.right - centreOn.left) - width) / 2;
        top = centreOn.top + ((centreOn.bottom - centreOn.top) - height) / 2;
    }
    // Kept inside the work area.
    left = std::max<int>(work.left, std::min<int>(left, work.right - width));
    top = std::max<int>(work.top, std::min<int>(top, work.bottom - height));
    HWND window = CreateWindowExW(exStyle, kFormClass, Widen(form.Caption).c_str(), style, left, top, width, height,
                                  AsHwnd(owner), nullptr, GetModuleHandleW(nullptr), this);
    if (!window)
        RaiseError("TDialogView", "Create", SystemErrorText(GetLastError()));
    window_ = AsHandle(window);
    shownForm_ = form;
    if (HFONT font = reinterpret_cast<HFONT>(FontFor(form.Font)))
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void TDialogView::CreateControls()
{
    // Containers go below their contents: frames are drawn first and every
    // control clips its siblings, so a group box never paints over its children.
    for (const TDialogControl& c : model_.Controls())
        if (c.Kind != TControlKind::ckGroupBox && c.Kind != TControlKind::ckPanel && c.Kind != TControlKind::ckGLWindow)
            CreateControl(c);
    for (const TDialogControl& c : model_.Controls())
        if (c.Kind == TControlKind::ckGroupBox || c.Kind == TControlKind::ckPanel)
            CreateControl(c);
    for (const TDialogControl& c : model_.Controls())
        if (c.Kind == TControlKind::ckGLWindow) {
            // The output window is made by the GL layer inside the panel.
            if (TShown* panel = ShownOf(c.Parent))
                previewPanel_ = AsHandle(panel->Window);
        }
    for (auto& s : shown_)
        if (s->Kind == TControlKind::ckGroupBox || s->Kind == TControlKind::ckPanel)
            SetWindowPos(s->Window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TDialogView::CreateControl(const TDialogControl& c)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const wchar_t* cls = L"STATIC";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    const TRect bounds = ScaleRectToDpi(c.Bounds, dpi_);
    int height = bounds.Height;
    using K = TControlKind;
    switch (c.Kind) {
    case K::ckPanel:
        cls = kPanelClass;
        style |= WS_CLIPCHILDREN;
        exStyle = WS_EX_STATICEDGE;
        break;
    case K::ckButton:
        cls = L"BUTTON";
        style |= BS_PUSHBUTTON | WS_TABSTOP;
        break;
    case K::ckGroupBox:
        cls = L"BUTTON";
        style |= BS_GROUPBOX;
        // A group box paints only its frame and caption; transparent, it is not
        // clipped out of the form, whose colour then fills its inside.
        exStyle = WS_EX_TRANSPARENT;
        break;
    case K::ckLabel:
        style |= SS_NOTIFY | SS_NOPREFIX;
        if (c.Align == TTextAlign::taCenter)
            style |= SS_CENTER;
        else if (c.Align == TTextAlign::taRight)
            style |= SS_RIGHT;
        else
            style |= c.WordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
        if (c.VerticalCenter)
            style |= SS_CENTERIMAGE;
        break;
    case K::ckTrackBar:
        cls = TRACKBAR_CLASSW;
        style |= TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM | WS_TABSTOP;
        break;
    case K::ckComboBox:
        cls = L"COMBOBOX";
        style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
        // The window's height includes the dropped-down list.
        height = bounds.Height + Scaled(200);
        break;
    case K::ckCheckBox:
        cls = L"BUTTON";
        style |= BS_AUTOCHECKBOX | WS_TABSTOP;
        break;
    case K::ckCheckList:
        cls = L"LISTBOX";
        style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
        exStyle = WS_EX_CLIENTEDGE;
        break;
    case K::ckColorSwatch:
    case K::ckPicture:
        style |= SS_OWNERDRAW | SS_NOTIFY;
        break;
    case K::ckGLWindow:
        return;
    }
    auto shown = std::make_unique<TShown>();
    shown->Id = c.Id;
    shown->Kind = c.Kind;
    shown->View = this;
    HWND w = CreateWindowExW(exStyle, cls, L"", style, bounds.Left, bounds.Top, bounds.Width, height,
                             AsHwnd(window_), reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.Id)), instance, nullptr);
    if (!w)
        RaiseError("TDialogView", "Create", "Control " + std::to_string(c.Id) + ": " + SystemErrorText(GetLastError()));
    shown->Window = w;
    if (HFONT font = reinterpret_cast<HFONT>(FontFor(EffectiveFont(c.Font, model_.Form.Font))))
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (c.Kind == K::ckComboBox) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        if (GetComboBoxInfo(w, &info))
            shown->List = info.hwndList;
        SetComboItemHeights(AsHandle(w), c);
    }
    if (c.Kind == K::ckCheckList) {
        SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        shown->OldProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CheckListProc)));
    }
    if (c.Kind == K::ckPicture && c.Picture)
        shown->Picture = MakeDib(*c.Picture);
    shown_.push_back(std::move(shown));
}

TDialogView::TShown* TDialogView::ShownOf(int id)
{
    for (auto& s : shown_)
        if (s->Id == id)
            return s.get();
    return nullptr;
}

TDialogView::TShown* TDialogView::ShownOfWindow(TWindowHandle window)
{
    HWND w = AsHwnd(window);
    if (!w)
        return nullptr;
    for (auto& s : shown_)
        if (s->Window == w || (s->List && s->List == w))
            return s.get();
    // A window inside a control (a combo box's own parts).
    HWND parent = GetParent(w);
    for (auto& s : shown_)
        if (parent && s->Window == parent)
            return s.get();
    return nullptr;
}

TWindowHandle TDialogView::ControlHandle(int id) const
{
    for (const auto& s : shown_)
        if (s->Id == id)
            return AsHandle(s->Window);
    return 0;
}

std::uintptr_t TDialogView::FontFor(const TControlFont& font)
{
    for (auto& f : fonts_)
        if (f->Dpi == dpi_ && SameFont(f->Font, font))
            return reinterpret_cast<std::uintptr_t>(f->Handle);
    auto entry = std::make_unique<TFontEntry>();
    entry->Font = font;
    entry->Dpi = dpi_;
    if (IsDefaultFont(font)) {
        // The system's dialog font, made at the dialog's scale from the
        // system's own scale.
        HGDIOBJ stock = GetStockObject(DEFAULT_GUI_FONT);
        const int systemDpi = SystemDpi();
        if (dpi_ == systemDpi)
            return reinterpret_cast<std::uintptr_t>(stock);
        LOGFONTW log{};
        if (!GetObjectW(stock, sizeof(log), &log))
            return reinterpret_cast<std::uintptr_t>(stock);
        log.lfHeight = MulDiv(log.lfHeight, dpi_, systemDpi);
        log.lfWidth = 0;
        entry->Handle = CreateFontIndirectW(&log);
    } else {
        int height = font.Height != 0 ? ScaleToDpi(font.Height, dpi_) : 0;
        if (height == 0 && font.Size != 0)
            height = -MulDiv(font.Size, dpi_, 72);
        if (height == 0)
            height = ScaleToDpi(-11, dpi_);
        const std::wstring face = Widen(font.Name.empty() ? std::string("Arial") : font.Name);
        entry->Handle = CreateFontW(height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, FALSE,
                                    font.Underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face.c_str());
    }
    const auto handle = reinterpret_cast<std::uintptr_t>(entry->Handle);
    fonts_.push_back(std::move(entry));
    return handle;
}

int TDialogView::Scaled(int value) const { return ScaleToDpi(value, dpi_); }

void TDialogView::SetComboItemHeights(TWindowHandle combo, const TDialogControl& c)
{
    if (c.ItemHeight <= 0)
        return;
    HWND w = AsHwnd(combo);
    const int item = Scaled(c.ItemHeight);
    SendMessageW(w, CB_SETITEMHEIGHT, 0, item);
    SendMessageW(w, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                 std::max(item, ScaleRectToDpi(c.Bounds, dpi_).Height - Scaled(6)));
}

void TDialogView::ChangeDpi(int dpi, const RECT* suggested)
{
    if (dpi <= 0 || !window_)
        return;
    HWND form = AsHwnd(window_);
    RECT now{};
    GetWindowRect(form, &now);
    HMONITOR monitor = MonitorFromRect(suggested ? suggested : &now, MONITOR_DEFAULTTONEAREST);
    const RECT work = WorkAreaOf(monitor);
    const int fitted = FittingDpi(dpi, work);
    if (fitted == dpi_)
        return;
    dpi_ = fitted;
    // Every control takes its font and place at the new scale; the old fonts
    // go once nothing uses them.
    std::vector<std::unique_ptr<TFontEntry>> old;
    for (auto& f : fonts_)
        old.push_back(std::move(f));
    fonts_.clear();
    if (HFONT font = reinterpret_cast<HFONT>(FontFor(model_.Form.Font)))
        SendMessageW(form, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (auto& sh : shown_) {
        const TDialogControl& c = sh->State;
        if (HFONT font = reinterpret_cast<HFONT>(FontFor(EffectiveFont(c.Font, model_.Form.Font))))
            SendMessageW(sh->Window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        PlaceControl(*sh, c);
        if (sh->Kind == TControlKind::ckComboBox)
            SetComboItemHeights(AsHandle(sh->Window), c);
        if (sh->Kind == TControlKind::ckCheckList) {
            const TDialogControl* design = model_.Find(c.Id);
            const int item = design && design->ItemHeight > 0 ? Scaled(design->ItemHeight) : MeasuredItemHeight(c);
            SendMessageW(sh->Window, LB_SETITEMHEIGHT, 0, item);
        }
    }
    // The window centred where it was (on the new monitor the system chose),
    // inside that monitor's work area.
    const SIZE size = OuterSize(dpi_);
    const RECT& around = suggested ? *suggested : now;
    int left = around.left + ((around.right - around.left) - size.cx) / 2;
    int top = around.top + ((around.bottom - around.top) - size.cy) / 2;
    left = std::max<int>(work.left, std::min<int>(left, work.right - size.cx));
    top = std::max<int>(work.top, std::min<int>(top, work.bottom - size.cy));
    SetWindowPos(form, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(form, nullptr, TRUE);
}

void TDialogView::PlaceControl(TShown& s, const TDialogControl& c)
{
    const TRect b = ScaleRectToDpi(c.Bounds, dpi_);
    int height = s.Kind == TControlKind::ckComboBox ? b.Height + Scaled(200) : b.Height;
    int width = b.Width;
    if (s.Kind == TControlKind::ckPicture && c.AutoSize && c.Picture && !s.Picture.Empty()) {
        width = Scaled(c.Picture->Width);
        height = Scaled(c.Picture->Height);
    }
    MoveWindow(s.Window, b.Left, b.Top, width, height, TRUE);
    if (s.Kind == TControlKind::ckLabel && c.AutoSize && !c.WordWrap)
        FitLabel(s, c);
    // The panel's children (the output window) fill it.
    if (s.Kind == TControlKind::ckPanel) {
        RECT client{};
        GetClientRect(s.Window, &client);
        for (HWND child = GetWindow(s.Window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            SetWindowPos(child, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TDialogView::FitLabel(TShown& s, const TDialogControl& c)
{
    // Sized to its text, like a label with automatic size.
    HWND w = s.Window;
    HDC dc = GetDC(w);
    HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)));
    const std::wstring text = Widen(c.Caption);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, before);
    ReleaseDC(w, dc);
    SetWindowPos(w, nullptr, 0, 0, std::max<int>(size.cx, 1), std::max<int>(size.cy, Scaled(c.Bounds.Height)),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TDialogView::MeasuredItemHeight(const TDialogControl& c)
{
    HWND w = AsHwnd(window_);
    HDC dc = GetDC(w);
    HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(FontFor(EffectiveFont(c.Font, model_.Form.Font))));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, before);
    ReleaseDC(w, dc);
    return std::max<int>(tm.tmHeight + Scaled(2), Scaled(15));
}

std::uintptr_t TDialogView::BrushFor(TColorRef color)
{
    const COLORREF c = static_cast<COLORREF>(color & 0xFFFFFFu);
    for (auto& b : brushes_)
        if (b->Color == c)
            return reinterpret_cast<std::uintptr_t>(b->Handle);
    auto entry = std::make_unique<TBrushEntry>();
    entry->Color = c;
    entry->Handle = CreateSolidBrush(c);
    const auto handle = reinterpret_cast<std::uintptr_t>(entry->Handle);
    brushes_.push_back(std::move(entry));
    return handle;
}

// ---- Model to view ----

void TDialogView::Sync(bool force)
{
    if (!built_ || syncing_ || !window_)
        return;
    if (!force && model_.Revision() == shownRevision_)
        return;
    syncing_ = true;
    shownRevision_ = model_.Revision();
    ApplyForm(force);
    for (const TDialogControl& c : model_.Controls())
        if (TShown* s = ShownOf(c.Id))
            ApplyControl(*s, c, force);
    syncing_ = false;
}

void TDialogView::ApplyForm(bool force)
{
    const TDialogForm& form = model_.Form;
    HWND w = AsHwnd(window_);
    if (force || form.Caption != shownForm_.Caption)
        SetWindowTextW(w, Widen(form.Caption).c_str());
    // Only a change is applied: the GL layer disables the main form on its own
    // while the preview runs full screen.
    if (!force && form.Enabled != shownForm_.Enabled)
        EnableWindow(w, form.Enabled ? TRUE : FALSE);
    if (force || form.Color != shownForm_.Color)
        InvalidateRect(w, nullptr, TRUE);
    shownForm_ = form;
}

void TDialogView::ApplyControl(TShown& s, const TDialogControl& c, bool force)
{
    HWND w = s.Window;
    TDialogControl& old = s.State;
    using K = TControlKind;
    bool repaint = force || c.Color != old.Color || !SameFont(c.Font, old.Font);

    if (!force && !SameBounds(c.Bounds, old.Bounds))
        PlaceControl(s, c);
    const bool hasText = c.Kind == K::ckButton || c.Kind == K::ckGroupBox || c.Kind == K::ckLabel ||
                         c.Kind == K::ckCheckBox;
    if (hasText && (force || c.Caption != old.Caption)) {
        SetWindowTextW(w, Widen(c.Caption).c_str());
        if (c.Kind == K::ckLabel && c.AutoSize && !c.WordWrap)
            FitLabel(s, c);
        repaint = true;
    }
    if (force || c.Enabled != old.Enabled)
        EnableWindow(w, c.Enabled ? TRUE : FALSE);
    if (force || c.Visible != old.Visible)
        ShowWindow(w, c.Visible ? SW_SHOWNA : SW_HIDE);

    switch (c.Kind) {
    case K::ckTrackBar:
        if (force || c.Min != old.Min || c.Max != old.Max) {
            SendMessageW(w, TBM_SETRANGEMIN, FALSE, c.Min);
            SendMessageW(w, TBM_SETRANGEMAX, TRUE, c.Max);
        }
        if (force || c.PageSize != old.PageSize)
            SendMessageW(w, TBM_SETPAGESIZE, 0, c.PageSize);
        if (force || c.TickFrequency != old.TickFrequency)
            SendMessageW(w, TBM_SETTICFREQ, static_cast<WPARAM>(std::max(1, c.TickFrequency)), 0);
        if (SendMessageW(w, TBM_GETPOS, 0, 0) != c.Position)
            SendMessageW(w, TBM_SETPOS, TRUE, c.Position);
        break;
    case K::ckComboBox:
        if (force || c.Items != old.Items) {
            SendMessageW(w, CB_RESETCONTENT, 0, 0);
            for (const std::string& item : c.Items)
                SendMessageW(w, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
        }
        if (SendMessageW(w, CB_GETCURSEL, 0, 0) != c.ItemIndex)
            SendMessageW(w, CB_SETCURSEL, static_cast<WPARAM>(c.ItemIndex), 0);
        break;
    case K::ckCheckBox: {
        const bool checked = SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (checked != c.Checked)
            SendMessageW(w, BM_SETCHECK, c.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    }
    case K::ckCheckList:
        if (force || c.Items != old.Items) {
            SendMessageW(w, LB_RESETCONTENT, 0, 0);
            for (const std::string& item : c.Items)
                SendMessageW(w, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
        }
        if (SendMessageW(w, LB_GETCURSEL, 0, 0) != c.ItemIndex)
            SendMessageW(w, LB_SETCURSEL, static_cast<WPARAM>(c.ItemIndex), 0);
        if (force || c.Items != old.Items || c.ItemChecked != old.ItemChecked) {
            // Each line's data is its check mark, for tools that read the list.
            for (std::size_t i = 0; i < c.Items.size(); ++i)
                SendMessageW(w, LB_SETITEMDATA, i, i < c.ItemChecked.size() && c.ItemChecked[i] ? 1 : 0);
            repaint = true;
        }
        break;
    case K::ckPicture:
        if (c.Picture != old.Picture)
            s.Picture = c.Picture ? MakeDib(*c.Picture) : TDib{};
        if (c.AutoSize && !s.Picture.Empty() && c.Picture)
            SetWindowPos(w, nullptr, 0, 0, Scaled(c.Picture->Width), Scaled(c.Picture->Height),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        repaint = repaint || c.Picture != old.Picture;
        break;
    default:
        break;
    }
    old = c;
    if (repaint)
        InvalidateRect(w, nullptr, TRUE);
}

// ---- View to model ----

template <typename F> void TDialogView::Call(F&& call)
{
    try {
        call();
    } catch (const std::exception& e) {
        ReportError(e);
    }
    Sync();
}

void TDialogView::Command(int id, unsigned code, TWindowHandle control)
{
    if (syncing_)
        return;
    if (!control) {
        // Enter and Escape (the dialog manager's IDOK and IDCANCEL): Enter
        // presses the focused push button, else OK; Escape presses Cancel.
        if (id == IDOK || id == IDCANCEL) {
            int target = KeyButton(model_, id == IDOK ? TDialogKey::dkEnter : TDialogKey::dkEscape);
            if (id == IDOK)
                if (TShown* focused = ShownOfWindow(AsHandle(GetFocus())))
                    if (focused->Kind == TControlKind::ckButton && focused->State.Enabled)
                        target = focused->Id;
            if (target)
                Call([&] { model_.OnClick(target); });
        }
        return;
    }
    TShown* s = ShownOf(id);
    if (!s || s->Window != AsHwnd(control))
        return;
    HWND w = s->Window;
    using K = TControlKind;
    switch (s->Kind) {
    case K::ckButton:
        if (code == BN_CLICKED)
            Call([&] { model_.OnClick(id); });
        break;
    case K::ckCheckBox:
        if (code == BN_CLICKED) {
            const bool checked = SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED;
            Call([&] { model_.OnCheck(id, checked); });
        }
        break;
    case K::ckComboBox:
        if (code == CBN_SELCHANGE) {
            const int index = static_cast<int>(SendMessageW(w, CB_GETCURSEL, 0, 0));
            Call([&] { model_.OnComboChange(id, index); });
        }
        break;
    case K::ckCheckList:
        if (code == LBN_SELCHANGE) {
            const int index = static_cast<int>(SendMessageW(w, LB_GETCURSEL, 0, 0));
            Call([&] { model_.OnItemClick(id, index); });
        }
        break;
    case K::ckLabel:
    case K::ckColorSwatch:
    case K::ckPicture:
        if (code == STN_CLICKED)
            Call([&] { model_.OnClick(id); });
        break;
    default:
        break;
    }
}

void TDialogView::Scrolled(TWindowHandle control)
{
    if (syncing_)
        return;
    TShown* s = ShownOfWindow(control);
    if (!s || s->Kind != TControlKind::ckTrackBar)
        return;
    const int position = static_cast<int>(SendMessageW(s->Window, TBM_GETPOS, 0, 0));
    const int id = s->Id;
    Call([&] { model_.OnTrackBarChange(id, position); });
}

void TDialogView::ToggleItem(TShown& s, int item)
{
    const TDialogControl& c = model_.Control(s.Id);
    if (item < 0 || item >= static_cast<int>(c.ItemChecked.size()))
        return;
    const bool checked = !c.ItemChecked[static_cast<std::size_t>(item)];
    const int id = s.Id;
    Call([&] { model_.OnItemCheck(id, item, checked); });
}

std::intptr_t TDialogView::CheckListMessage(TWindowHandle list, unsigned message, std::uintptr_t wParam,
                                            std::intptr_t lParam)
{
    HWND w = AsHwnd(list);
    TShown* s = ShownOfWindow(list);
    if (!s || !s->OldProc)
        return DefWindowProcW(w, message, wParam, lParam);
    const WNDPROC old = s->OldProc;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const LRESULT result = CallWindowProcW(old, w, message, wParam, lParam);
        const int x = static_cast<short>(LOWORD(lParam));
        const int y = static_cast<short>(HIWORD(lParam));
        const LRESULT hit = SendMessageW(w, LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
        const int itemHeight = static_cast<int>(SendMessageW(w, LB_GETITEMHEIGHT, 0, 0));
        // A click on the box, or a double click anywhere on the line, toggles it.
        if (HIWORD(hit) == 0 && (x < itemHeight + 2 || message == WM_LBUTTONDBLCLK))
            ToggleItem(*s, LOWORD(hit));
        return result;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            ToggleItem(*s, static_cast<int>(SendMessageW(w, LB_GETCURSEL, 0, 0)));
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L' ')
            return 0;
        break;
    default:
        break;
    }
    return CallWindowProcW(old, w, message, wParam, lParam);
}

std::intptr_t TDialogView::ControlColor(TWindowHandle control, std::uintptr_t dcHandle, bool editLike)
{
    HDC dc = reinterpret_cast<HDC>(dcHandle);
    TShown* s = ShownOfWindow(control);
    TColorRef back = model_.Form.Color;
    TColorRef text = model_.Form.Font.Color;
    if (s) {
        const TDialogControl& c = s->State;
        const bool ownBackground = c.Kind == TControlKind::ckComboBox || c.Kind == TControlKind::ckCheckList ||
                                   c.Kind == TControlKind::ckLabel;
        if (ownBackground && c.Color != clDefault)
            back = c.Color;
        else if (editLike && c.Color == clDefault)
            back = clDefault;
        const TControlFont font = EffectiveFont(c.Font, model_.Form.Font);
        if (font.Color != clDefault)
            text = font.Color;
    }
    const COLORREF backColor = ColorOf(back, editLike ? COLOR_WINDOW : COLOR_BTNFACE);
    SetTextColor(dc, ColorOf(text, editLike ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
    SetBkColor(dc, backColor);
    return static_cast<std::intptr_t>(BrushFor(backColor));
}

void TDialogView::DrawItem(std::intptr_t lParam)
{
    const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    TShown* s = ShownOfWindow(AsHandle(di->hwndItem));
    if (!s)
        return;
    const TDialogControl& c = s->State;
    HDC dc = di->hDC;
    RECT r = di->rcItem;
    switch (s->Kind) {
    case TControlKind::ckColorSwatch: {
        const COLORREF fill = ColorOf(c.Color, COLOR_BTNFACE);
        FillRect(dc, &r, reinterpret_cast<HBRUSH>(BrushFor(fill)));
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        break;
    }
    case TControlKind::ckPicture:
        FillRect(dc, &r, reinterpret_cast<HBRUSH>(BrushFor(ColorOf(model_.Form.Color, COLOR_BTNFACE))));
        if (!s->Picture.Empty()) {
            const BITMAPINFOHEADER& h = s->Picture.Info.bmiHeader;
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchDIBits(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, h.biWidth, -h.biHeight,
                          s->Picture.Bits.data(), &s->Picture.Info, DIB_RGB_COLORS, SRCCOPY);
        }
        break;
    case TControlKind::ckCheckList: {
        if (di->itemID == static_cast<UINT>(-1))
            break;
        const int item = static_cast<int>(di->itemID);
        const bool selected = (di->itemState & ODS_SELECTED) != 0;
        const COLORREF back = ColorOf(c.Color, COLOR_WINDOW);
        FillRect(dc, &r, reinterpret_cast<HBRUSH>(BrushFor(back)));
        const int box = std::min<int>(r.bottom - r.top - 2, Scaled(13));
        RECT boxRect{r.left + 2, r.top + (r.bottom - r.top - box) / 2, r.left + 2 + box,
                     r.top + (r.bottom - r.top - box) / 2 + box};
        const bool checked = item < static_cast<int>(c.ItemChecked.size()) && c.ItemChecked[static_cast<std::size_t>(item)];
        DrawFrameControl(dc, &boxRect, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
        RECT textRect{boxRect.right + Scaled(3), r.top, r.right, r.bottom};
        const std::wstring text = item < static_cast<int>(c.Items.size()) ? Widen(c.Items[static_cast<std::size_t>(item)]) : std::wstring();
        if (selected) {
            SIZE size{};
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
            RECT highlight{textRect.left - 1, r.top, std::min<LONG>(r.right, textRect.left + size.cx + 2), r.bottom};
            FillRect(dc, &highlight, GetSysColorBrush(COLOR_HIGHLIGHT));
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        } else {
            const TControlFont font = EffectiveFont(c.Font, model_.Form.Font);
            SetTextColor(dc, ColorOf(font.Color, COLOR_WINDOWTEXT));
        }
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (di->itemState & ODS_FOCUS) {
            RECT focus = textRect;
            focus.left -= 1;
            DrawFocusRect(dc, &focus);
        }
        break;
    }
    default:
        break;
    }
}

std::intptr_t TDialogView::FormMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam, bool& handled)
{
    handled = true;
    HWND w = AsHwnd(window_);
    switch (message) {
    case WM_COMMAND:
        Command(LOWORD(wParam), HIWORD(wParam), static_cast<TWindowHandle>(lParam));
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lParam) {
            Scrolled(static_cast<TWindowHandle>(lParam));
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == kSyncTimer) {
            Sync();
            return 0;
        }
        break;
    case WM_ERASEBKGND: {
        RECT r{};
        GetClientRect(w, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r,
                 reinterpret_cast<HBRUSH>(BrushFor(ColorOf(model_.Form.Color, COLOR_BTNFACE))));
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return ControlColor(static_cast<TWindowHandle>(lParam), wParam, false);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return ControlColor(static_cast<TWindowHandle>(lParam), wParam, true);
    case WM_DRAWITEM:
        DrawItem(lParam);
        return TRUE;
    case WM_MEASUREITEM: {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        int height = 16;
        if (const TDialogControl* c = model_.Find(static_cast<int>(mi->CtlID))) {
            height = c->ItemHeight > 0 ? Scaled(c->ItemHeight) : MeasuredItemHeight(*c);
        }
        mi->itemHeight = static_cast<UINT>(height);
        return TRUE;
    }
    case WM_SETCURSOR: {
        TShown* s = ShownOfWindow(static_cast<TWindowHandle>(wParam));
        if (s && s->State.Cursor == TCursorKind::crHand && s->State.Enabled && LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
            return TRUE;
        }
        break;
    }
    case kDpiChanged:
        ChangeDpi(HIWORD(wParam), lParam ? reinterpret_cast<const RECT*>(lParam) : nullptr);
        return 0;
    case WM_SYSCOMMAND:
        if (role_ == TRole::rlMainForm && TSettingsDialog::SwallowsSystemCommand(static_cast<std::uint32_t>(wParam)))
            return 0;
        break;
    case WM_CLOSE:
        if (role_ == TRole::rlModal) {
            // Closing a modal dialog's window cancels it.
            if (model_.ModalResult == mrNone) {
                model_.ModalResult = mrCancel;
                Sync();
            }
            return 0;
        }
        break;
    default:
        break;
    }
    handled = false;
    return 0;
}

// ---------------------------------------------------------------------------

TWinDialogHost::TWinDialogHost(TWinApplication* app) : app_(app) {}

TWinDialogHost::~TWinDialogHost()
{
    DestroyMainForm();
}

void TWinDialogHost::DestroyMainForm()
{
    if (main_ && app_ && app_->MainForm() == main_->Handle())
        app_->SetMainForm(0, 0);
    main_.reset();
}

TDialogView& TWinDialogHost::CreateMainForm(TDialogModel& model)
{
    DestroyMainForm();
    main_ = std::make_unique<TDialogView>(model, 0, TDialogView::TRole::rlMainForm);
    if (app_)
        app_->SetMainForm(main_->Handle(), main_->PreviewPanel());
    return *main_;
}

TDialogView* TWinDialogHost::ViewOf(const TDialogModel& model)
{
    for (TDialogView* v : modal_)
        if (&v->Model() == &model)
            return v;
    if (main_ && &main_->Model() == &model)
        return main_.get();
    return nullptr;
}

namespace {

// Disables the owner while a modal dialog runs and gives it back its state and
// the activation afterwards, also when the dialog raised.
class TModalOwner {
public:
    explicit TModalOwner(HWND owner) : owner_(owner)
    {
        if (owner_ && IsWindow(owner_)) {
            wasEnabled_ = IsWindowEnabled(owner_) != FALSE;
            EnableWindow(owner_, FALSE);
        }
    }
    ~TModalOwner()
    {
        if (owner_ && IsWindow(owner_)) {
            if (wasEnabled_)
                EnableWindow(owner_, TRUE);
            SetActiveWindow(owner_);
        }
    }
    TModalOwner(const TModalOwner&) = delete;
    TModalOwner& operator=(const TModalOwner&) = delete;

private:
    HWND owner_;
    bool wasEnabled_ = false;
};

} // namespace

int TWinDialogHost::RunModal(TDialogModel& dialog)
{
    HWND owner = nullptr;
    if (!modal_.empty())
        owner = AsHwnd(modal_.back()->Handle());
    else if (main_)
        owner = AsHwnd(main_->Handle());
    else if (app_)
        owner = AsHwnd(app_->MainForm());
    if (owner && !IsWindowVisible(owner))
        owner = nullptr;

    dialog.ModalResult = mrNone;
    TDialogView view(dialog, AsHandle(owner), TDialogView::TRole::rlModal);
    modal_.push_back(&view);
    struct TPop {
        std::vector<TDialogView*>& list;
        ~TPop() { list.pop_back(); }
    } pop{modal_};
    {
        TModalOwner disabled(owner);
        HWND w = AsHwnd(view.Handle());
        ShowWindow(w, SW_SHOW);
        SetForegroundWindow(w);
        if (HWND first = GetNextDlgTabItem(w, nullptr, FALSE))
            SetFocus(first);

        // The frame loop keeps running (the preview stays live) while the dialog is open.
        while (dialog.ModalResult == mrNone && IsWindow(w)) {
            if (app_ && app_->Terminated()) {
                dialog.ModalResult = mrCancel;
                break;
            }
            MSG msg;
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    // Handed on to the main loop.
                    PostQuitMessage(static_cast<int>(msg.wParam));
                    dialog.ModalResult = mrCancel;
                    break;
                }
                if (IsDialogMessageW(w, &msg))
                    continue;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
                continue;
            }
            bool done = true;
            if (app_ && app_->Attached()) {
                try {
                    app_->Attached()->DoIdle(done);
                } catch (const std::exception& e) {
                    app_->ReportException(e);
                }
            }
            if (done && dialog.ModalResult == mrNone)
                WaitMessage();
        }
        ShowWindow(w, SW_HIDE);
    }
    return dialog.ModalResult;
}

bool TWinDialogHost::PickColor(TColorRef& color)
{
    static COLORREF custom[16] = {};
    HWND owner = nullptr;
    if (!modal_.empty())
        owner = AsHwnd(modal_.back()->Handle());
    else if (main_)
        owner = AsHwnd(main_->Handle());
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = owner;
    cc.rgbResult = static_cast<COLORREF>(color & 0xFFFFFFu);
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&cc))
        return false;
    color = static_cast<TColorRef>(cc.rgbResult & 0xFFFFFFu);
    return true;
}

void TWinDialogHost::OpenWithShell(const std::string& verb, const std::string& target)
{
    HWND owner = main_ ? AsHwnd(main_->Handle()) : nullptr;
    ShellExecuteW(owner, Widen(verb).c_str(), Widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TWinDialogHost::CloseDialog(TDialogModel& dialog)
{
    if (main_ && &main_->Model() == &dialog) {
        if (app_) {
            app_->CloseMainForm();
        } else {
            ShowWindow(AsHwnd(main_->Handle()), SW_HIDE);
            PostQuitMessage(0);
        }
        return;
    }
    if (dialog.ModalResult == mrNone)
        dialog.ModalResult = mrCancel;
}

// ---------------------------------------------------------------------------

TSettingsDialogWindow::TSettingsDialogWindow(TWinApplication& app, TFormSettings& form, TGLScreenSaver& saver)
    : app_(app), host_(&app)
{
    driverInfo_ = std::make_unique<TContextDriverInfo>(saver.Context());
    model_ = std::make_unique<TSettingsDialog>(form, &saver, &host_);
    model_->DriverInfo = driverInfo_.get();
    view_ = &host_.CreateMainForm(*model_);
}

TSettingsDialogWindow::~TSettingsDialogWindow()
{
    // The window goes before the model it shows.
    host_.DestroyMainForm();
}

void TSettingsDialogWindow::Show()
{
    if (app_.Terminated() || app_.MainFormSuppressed() || app_.MainFormHiddenAway())
        return;
    HWND w = AsHwnd(view_->Handle());
    ShowWindow(w, SW_SHOW);
    SetForegroundWindow(w);
    try {
        model_->DoShow();
    } catch (const std::exception& e) {
        ReportError(e);
    }
}

std::unique_ptr<TSettingsDialogWindow> CreateSettingsDialogWindow(TWinApplication& app, TFormSettings& form,
                                                                  TGLScreenSaver& saver)
{
    if (saver.Mode() != TSaverMode::smProgram && saver.Mode() != TSaverMode::smConfigure)
        return nullptr;
    return std::make_unique<TSettingsDialogWindow>(app, form, saver);
}
