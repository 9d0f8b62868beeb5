// TForm is a top-level window built from a window definition: frame and border
// icons, client size, stay-on-top, placement, scaling to the screen resolution,
// and the show and close events.
#pragma once

#include <windows.h>

#include <vector>

#include "toolkit/control_win32.h"
#include "toolkit/form_reader_win32.h"

enum TFormBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : uint8_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = uint8_t;
enum TFormStyle : uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition : uint8_t {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
    poMainFormCenter, poOwnerFormCenter,
};

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle style) { FBorderStyle = style; }
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons icons) { FBorderIcons = icons; }
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle style);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition position) { FPosition = position; }
    bool Scaled() const { return FScaled; }
    int PixelsPerInch() const { return FPixelsPerInch; }
    int ClientWidth() const { return FClientWidth; }
    int ClientHeight() const { return FClientHeight; }
    void SetClientSize(int width, int height);
    // Icon is the definition's icon. The title bar shows it, else the application's;
    // a dialog frame (bsDialog) shows none.
    HICON Icon() const { return FIcon.Get(); }

    TNotifyEvent OnShow;
    TNotifyEvent OnCreate;
    TCloseEvent OnClose;

    // Show makes the form visible: OnShow runs first, before anything is drawn.
    void Show();
    void Hide();
    // Close runs OnClose; the main form's close ends the program.
    void Close();

    // Fields and handlers that a definition binds by name; the form class lists them.
    virtual std::vector<TFieldBinding> FieldTable() { return {}; }
    virtual std::vector<TMethodBinding> MethodTable() { return {}; }

    bool ReadProperty(const TFormProperty& property, TFormReader& reader) override;
    void Loaded() override;
    void WndProc(TMessage& message) override;
    // ScaleBy scales client size, controls and fonts by multiplier / divider.
    void ScaleBy(int multiplier, int divider) override;
    // ScaleToScreen applies Scaled: the definition's resolution to screenPixelsPerInch.
    void ScaleToScreen(int screenPixelsPerInch);

    // SetTopMost puts the window above or among non-topmost windows; the form
    // keeps its own stay-on-top setting.
    void SetTopMost(bool topMost);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    void UpdateShowing() override;

private:
    bool ReadFrameProperty(const TFormProperty& property);
    bool ReadLayoutProperty(const TFormProperty& property);
    bool ReadEventProperty(const TFormProperty& property, TFormReader& reader);
    void ApplyPosition();
    void WMClose(TMessage& message);
    void WMActivate(TMessage& message);
    void WMActivateApp(TMessage& message);
    void WMSetFocus(TMessage& message);
    bool IsMainForm() const;

    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    bool FScaled = true;
    bool FOldCreateOrder = false;
    int FPixelsPerInch = 96;
    int FTextHeight = 13;
    int FClientWidth = 0;
    int FClientHeight = 0;
    bool FPositioned = false;
    TUniqueIcon FIcon;
    TUniqueIcon FSmallIcon;
    HWND FFocusedChild = nullptr;  // we don't own it: the child that had the focus last
};
