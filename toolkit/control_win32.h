// The control classes that windows are built from:
//   TControl        - a rectangle on a parent window, with events and messages;
//   TGraphicControl - a control without a window of its own, painted by its
//                     parent in creation order through a translated, clipped DC;
//   TWinControl     - a control with its own window, optionally built on a
//                     system window class whose procedure handles what we don't.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "toolkit/component.h"
#include "toolkit/font_win32.h"

class TWinControl;
class TFormReader;
struct TFormProperty;

// TMessage is one window message on its way through a control's WndProc.
struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

// Notifications between the toolkit's controls (never seen by other programs).
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;  // WParam: the new Visible
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;  // a windowed control was shown or hidden
// A parent hands each child's WM_COMMAND, WM_CTLCOLOR... and WM_DRAWITEM back to
// the child as CN_BASE + the message, so each control handles its own.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;

enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };
enum TShiftFlag : uint8_t {
    ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64,
};
using TShiftState = uint8_t;

using TNotifyEvent = std::function<void(TObject* sender)>;
using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
// What happens to a window after its OnClose handler.
enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;

// Control style flags.
enum TControlStyleFlag : uint8_t {
    csOpaque = 1,         // paints its whole rectangle, so nothing needs erasing beneath
    csAcceptsControls = 2,
};
using TControlStyle = uint8_t;

// ShiftStateFromKeys converts the MK_ flags of a mouse message.
TShiftState ShiftStateFromKeys(WPARAM keys);

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    RECT BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    RECT ClientRect() const { return {0, 0, FWidth, FHeight}; }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetBounds(left, FTop, FWidth, FHeight); }
    void SetTop(int top) { SetBounds(FLeft, top, FWidth, FHeight); }
    void SetWidth(int width) { SetBounds(FLeft, FTop, width, FHeight); }
    void SetHeight(int height) { SetBounds(FLeft, FTop, FWidth, height); }

    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    // Showing: visible itself and on a parent that shows.
    virtual bool Showing() const;

    const UString& Caption() const { return FCaption; }
    void SetCaption(const UString& caption);

    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool parentFont);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool parentColor);

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle style) { FControlStyle = style; }

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

    // Perform passes a message through WndProc and returns its result.
    LRESULT Perform(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual void WndProc(TMessage& message);
    // DefaultHandler is what a message gets when nothing else handles it.
    virtual void DefaultHandler(TMessage& message);

    virtual void Click();
    // Invalidate asks the parent to repaint the control's rectangle.
    virtual void Invalidate();
    // Update paints what is invalid now; Repaint invalidates and updates.
    virtual void Update();
    virtual void Repaint();

    // ReadProperty sets one property read from a window definition; it answers
    // false for a name the control does not have.
    virtual bool ReadProperty(const TFormProperty& property, TFormReader& reader);
    // ScaleBy multiplies position and size by multiplier / divider.
    virtual void ScaleBy(int multiplier, int divider);

protected:
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void VisibleChanging() {}
    // FontChanged and TextChanged run after Font or Caption changed.
    virtual void FontChanged();
    virtual void TextChanged();
    // InvalidateControl invalidates the rectangle on the parent; erase unless opaque.
    void InvalidateControl(bool isVisible, bool isOpaque);
    // ParentFontChanged takes the parent's font when ParentFont is set.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();

private:
    void DispatchMouse(TMessage& message);

    TWinControl* FParent = nullptr;  // we don't own it
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    bool FParentFont = true;
    bool FParentColor = false;
    UString FCaption;
    TColor FColor = clBtnFace;
    TFont FFont;
    TControlStyle FControlStyle = 0;

    friend class TWinControl;
};

// TGraphicControl is painted by its parent: WM_PAINT arrives with the parent's
// DC in WParam, translated so the control's top-left is (0, 0) and clipped.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner) : TControl(owner) {}
    void WndProc(TMessage& message) override;

protected:
    // Paint draws the control on dc; the default draws nothing.
    virtual void Paint(HDC dc);
};

// TCreateParams describes the window that a TWinControl creates.
struct TCreateParams {
    UString Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    // The window class is registered under WinClassName. With a SystemClassName
    // (such as "BUTTON") it takes that class's procedure, extra bytes and style.
    UString WinClassName;
    UString SystemClassName;
    UINT ClassStyle = CS_DBLCLKS;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // Handle creates the window when it does not exist yet.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    void DestroyHandle();
    // Creating: the window is being created right now.
    bool CreatingHandle() const { return FCreatingHandle; }
    // FromHandle finds the control behind a window of ours, or null.
    static TWinControl* FromHandle(HWND wnd);

    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int tabOrder);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool tabStop);

    // Controls lists the children in the order they were inserted.
    const std::vector<TControl*>& Controls() const { return FControls; }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    // TabList lists the windowed children by tab order.
    std::vector<TWinControl*> TabList() const;

    bool Focused() const;
    bool CanFocus() const;
    virtual void SetFocus();
    // SelectNext moves the focus to the next (or previous) child after current;
    // with checkTabStop only children that are tab stops qualify.
    bool SelectNext(TWinControl* current, bool forward, bool checkTabStop);

    bool Showing() const override;
    void SetBounds(int left, int top, int width, int height) override;
    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    void Invalidate() override;
    void Update() override;
    bool ReadProperty(const TFormProperty& property, TFormReader& reader) override;
    void ScaleBy(int multiplier, int divider) override;

    // PaintContent fills area with the window colour and paints the graphic
    // children over it in creation order; WM_PAINT and WM_PRINTCLIENT share it.
    void PaintContent(HDC dc, const RECT& area);

    static LRESULT CALLBACK StaticWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    virtual void CreateParams(TCreateParams& params);
    // CreateWnd registers the window class when needed and creates the window.
    virtual void CreateWnd();
    // CreateHandleDone runs right after the window exists (fonts, check states).
    virtual void CreateHandleDone();
    virtual void DestroyWnd();
    void FontChanged() override;
    void TextChanged() override;
    // UpdateShowing shows or hides the window to follow Visible.
    virtual void UpdateShowing();
    // PaintControls paints the visible graphic children that meet area.
    void PaintControls(HDC dc, const RECT& area);
    HWND ParentHandle();
    WNDPROC DefWndProc() const { return FDefWndProc; }

private:
    void RegisterWindowClass(const TCreateParams& params);
    bool ForwardToChild(TMessage& message);
    bool PaintsItself() const;
    void WMPaint(TMessage& message);
    void WMPrintClient(TMessage& message);
    void WMEraseBkgnd(TMessage& message);
    void WMWindowPosChanged(TMessage& message);
    void WMNCDestroy(TMessage& message);
    void CreateChildHandles();
    void UpdateWindowStyle(DWORD bit, bool on);

    HWND FHandle = nullptr;
    WNDPROC FDefWndProc = ::DefWindowProcW;
    bool FCreatingHandle = false;
    int FTabOrder = -1;
    bool FTabStop = false;
    std::vector<TControl*> FControls;  // we don't own them: their owner does
};
