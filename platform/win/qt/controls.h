#pragma once

// The common controls the framework drives through messages: the rebar ("ReBarWindow32"), the
// toolbar ("ToolbarWindow32"), the tooltip ("tooltips_class32") and the push button ("Button"),
// with image lists, custom drawing and the themed parent background. The classes are registered
// by winqt::install. Notifications reach the control's parent as WM_NOTIFY with an NMHDR first.
// The rebar and the toolbar put their grippers and buttons on Qt's own widgets (rebar.h, toolbar.h).
// Callers: the rebars, toolbars, mode and orientation bars and status bar, the frame window's
// tooltip, the tab strip's overflow button (framework).

#include "platform/win/colour.h"
#include "platform/win/gdi.h"
#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"
#include "platform/win/messageparams.h"
#include "platform/win/messages.h"
#include "platform/win/scalars.h"
#include "platform/win/structs.h"

constexpr const char* REBARCLASSNAMEA = "ReBarWindow32";
constexpr const char* TOOLBARCLASSNAMEA = "ToolbarWindow32";
constexpr const char* TOOLTIPS_CLASSA = "tooltips_class32";
constexpr const char* WC_BUTTONA = "Button";

// Styles shared by the bars.
constexpr DWORD CCS_TOP = 0x0001;
constexpr DWORD CCS_NOMOVEY = 0x0002;
constexpr DWORD CCS_BOTTOM = 0x0003;
constexpr DWORD CCS_NORESIZE = 0x0004;
constexpr DWORD CCS_NOPARENTALIGN = 0x0008;
constexpr DWORD CCS_ADJUSTABLE = 0x0020;
constexpr DWORD CCS_NODIVIDER = 0x0040;
constexpr DWORD CCS_VERT = 0x0080;

// Notification codes of all controls.
constexpr UINT NM_CUSTOMDRAW = static_cast<UINT>(-12);
constexpr UINT TBN_HOTITEMCHANGE = static_cast<UINT>(-713);
constexpr UINT TBN_GETDISPINFOA = static_cast<UINT>(-716);
constexpr UINT TBN_GETINFOTIPA = static_cast<UINT>(-718);
constexpr UINT RBN_HEIGHTCHANGE = static_cast<UINT>(-831);
constexpr UINT RBN_BEGINDRAG = static_cast<UINT>(-835);
constexpr UINT RBN_ENDDRAG = static_cast<UINT>(-836);

// Custom drawing.
constexpr DWORD CDDS_PREPAINT = 0x00000001;
constexpr DWORD CDDS_POSTPAINT = 0x00000002;
constexpr DWORD CDDS_PREERASE = 0x00000003;
constexpr DWORD CDDS_POSTERASE = 0x00000004;
constexpr DWORD CDDS_ITEM = 0x00010000;
constexpr DWORD CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT;
constexpr DWORD CDDS_ITEMPOSTPAINT = CDDS_ITEM | CDDS_POSTPAINT;
constexpr LRESULT CDRF_DODEFAULT = 0x00000000;
constexpr LRESULT CDRF_SKIPDEFAULT = 0x00000004;
constexpr LRESULT CDRF_NOTIFYPOSTPAINT = 0x00000010;
constexpr LRESULT CDRF_NOTIFYITEMDRAW = 0x00000020;
constexpr LRESULT CDRF_NOTIFYPOSTERASE = 0x00000040;
constexpr UINT CDIS_SELECTED = 0x0001;
constexpr UINT CDIS_GRAYED = 0x0002;
constexpr UINT CDIS_DISABLED = 0x0004;
constexpr UINT CDIS_CHECKED = 0x0008;
constexpr UINT CDIS_FOCUS = 0x0010;
constexpr UINT CDIS_DEFAULT = 0x0020;
constexpr UINT CDIS_HOT = 0x0040;
constexpr UINT CDIS_MARKED = 0x0080;
constexpr UINT CDIS_INDETERMINATE = 0x0100;

struct NMCUSTOMDRAW {
    NMHDR hdr;
    DWORD dwDrawStage;
    HDC hdc;
    RECT rc;
    DWORD_PTR dwItemSpec;
    UINT uItemState;
    LPARAM lItemlParam;
};

struct NMTBCUSTOMDRAW {
    NMCUSTOMDRAW nmcd;
    HBRUSH hbrMonoDither;
    HBRUSH hbrLines;
    HPEN hpenLines;
    COLORREF clrText;
    COLORREF clrMark;
    COLORREF clrTextHighlight;
    COLORREF clrBtnFace;
    COLORREF clrBtnHighlight;
    COLORREF clrHighlightHotTrack;
    RECT rcText;
    int nStringBkMode;
    int nHLStringBkMode;
    int iListGap;
};

// Toolbar.
constexpr DWORD TBSTYLE_TOOLTIPS = 0x0100;
constexpr DWORD TBSTYLE_WRAPABLE = 0x0200;
constexpr DWORD TBSTYLE_FLAT = 0x0800;
constexpr DWORD TBSTYLE_LIST = 0x1000;
constexpr DWORD TBSTYLE_CUSTOMERASE = 0x2000;
constexpr DWORD TBSTYLE_TRANSPARENT = 0x8000;
constexpr BYTE BTNS_BUTTON = 0x00;
constexpr BYTE BTNS_SEP = 0x01;
constexpr BYTE BTNS_CHECK = 0x02;
constexpr BYTE BTNS_GROUP = 0x04;
constexpr BYTE BTNS_CHECKGROUP = BTNS_GROUP | BTNS_CHECK;
constexpr BYTE BTNS_AUTOSIZE = 0x10;
constexpr BYTE TBSTYLE_BUTTON = BTNS_BUTTON;
constexpr BYTE TBSTYLE_SEP = BTNS_SEP;
constexpr BYTE TBSTYLE_CHECK = BTNS_CHECK;
constexpr BYTE TBSTYLE_GROUP = BTNS_GROUP;
constexpr BYTE TBSTYLE_CHECKGROUP = BTNS_CHECKGROUP;
constexpr BYTE TBSTYLE_AUTOSIZE = BTNS_AUTOSIZE;
constexpr BYTE TBSTATE_CHECKED = 0x01;
constexpr BYTE TBSTATE_PRESSED = 0x02;
constexpr BYTE TBSTATE_ENABLED = 0x04;
constexpr BYTE TBSTATE_HIDDEN = 0x08;
constexpr BYTE TBSTATE_INDETERMINATE = 0x10;
constexpr int I_IMAGECALLBACK = -1;
constexpr int I_IMAGENONE = -2;

constexpr UINT TB_ENABLEBUTTON = WM_USER + 1;
constexpr UINT TB_CHECKBUTTON = WM_USER + 2;
constexpr UINT TB_ISBUTTONENABLED = WM_USER + 9;
constexpr UINT TB_ISBUTTONCHECKED = WM_USER + 10;
constexpr UINT TB_SETSTATE = WM_USER + 17;
constexpr UINT TB_GETSTATE = WM_USER + 18;
constexpr UINT TB_ADDBUTTONSA = WM_USER + 20;
constexpr UINT TB_INSERTBUTTONA = WM_USER + 21;
constexpr UINT TB_GETBUTTON = WM_USER + 23;
constexpr UINT TB_BUTTONCOUNT = WM_USER + 24;
constexpr UINT TB_GETITEMRECT = WM_USER + 29;
constexpr UINT TB_BUTTONSTRUCTSIZE = WM_USER + 30;
constexpr UINT TB_SETBITMAPSIZE = WM_USER + 32;
constexpr UINT TB_AUTOSIZE = WM_USER + 33;
constexpr UINT TB_GETBITMAP = WM_USER + 44;
constexpr UINT TB_SETIMAGELIST = WM_USER + 48;
constexpr UINT TB_GETIMAGELIST = WM_USER + 49;
constexpr UINT TB_SETHOTIMAGELIST = WM_USER + 52;
constexpr UINT TB_GETHOTIMAGELIST = WM_USER + 53;
constexpr UINT TB_SETDISABLEDIMAGELIST = WM_USER + 54;
constexpr UINT TB_SETSTYLE = WM_USER + 56;
constexpr UINT TB_GETSTYLE = WM_USER + 57;
constexpr UINT TB_GETBUTTONSIZE = WM_USER + 58;
constexpr UINT TB_SETMAXTEXTROWS = WM_USER + 60;
constexpr UINT TB_GETBUTTONINFOA = WM_USER + 65;
constexpr UINT TB_SETBUTTONINFOA = WM_USER + 66;
constexpr UINT TB_GETHOTITEM = WM_USER + 71;
constexpr UINT TB_SETPADDING = WM_USER + 87;

struct TBBUTTON {
    int iBitmap; // the image index; the width of a separator (0: the default)
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[6];
    DWORD_PTR dwData;
    INT_PTR iString;
};

constexpr DWORD TBIF_IMAGE = 0x00000001;
constexpr DWORD TBIF_TEXT = 0x00000002;
constexpr DWORD TBIF_STATE = 0x00000004;
constexpr DWORD TBIF_STYLE = 0x00000008;
constexpr DWORD TBIF_LPARAM = 0x00000010;
constexpr DWORD TBIF_COMMAND = 0x00000020;
constexpr DWORD TBIF_SIZE = 0x00000040;
constexpr DWORD TBIF_BYINDEX = 0x80000000;

struct TBBUTTONINFOA {
    UINT cbSize;
    DWORD dwMask;
    int idCommand;
    int iImage;
    BYTE fsState;
    BYTE fsStyle;
    WORD cx;
    DWORD_PTR lParam;
    LPSTR pszText;
    int cchText;
};

constexpr DWORD HICF_MOUSE = 0x00000001;
constexpr DWORD HICF_ENTERING = 0x00000010;
constexpr DWORD HICF_LEAVING = 0x00000020;

struct NMTBHOTITEM {
    NMHDR hdr;
    int idOld;
    int idNew;
    DWORD dwFlags;
};

struct NMTBGETINFOTIPA {
    NMHDR hdr;
    LPSTR pszText;
    int cchTextMax;
    int iItem;
    LPARAM lParam;
};

constexpr DWORD TBNF_IMAGE = 0x00000001;
constexpr DWORD TBNF_TEXT = 0x00000002;

struct NMTBDISPINFOA {
    NMHDR hdr;
    DWORD dwMask;
    int idCommand;
    DWORD_PTR lParam;
    int iImage;
    LPSTR pszText;
    int cchText;
};

// Rebar.
constexpr DWORD RBS_TOOLTIPS = 0x0100;
constexpr DWORD RBS_VARHEIGHT = 0x0200;
constexpr DWORD RBS_BANDBORDERS = 0x0400;
constexpr DWORD RBS_FIXEDORDER = 0x0800;
constexpr DWORD RBS_AUTOSIZE = 0x2000;
constexpr DWORD RBS_DBLCLKTOGGLE = 0x8000;
constexpr UINT RBBS_BREAK = 0x0001;
constexpr UINT RBBS_FIXEDSIZE = 0x0002;
constexpr UINT RBBS_CHILDEDGE = 0x0004;
constexpr UINT RBBS_HIDDEN = 0x0008;
constexpr UINT RBBS_GRIPPERALWAYS = 0x0080;
constexpr UINT RBBS_NOGRIPPER = 0x0100;
constexpr UINT RBBIM_STYLE = 0x0001;
constexpr UINT RBBIM_COLORS = 0x0002;
constexpr UINT RBBIM_TEXT = 0x0004;
constexpr UINT RBBIM_IMAGE = 0x0008;
constexpr UINT RBBIM_CHILD = 0x0010;
constexpr UINT RBBIM_CHILDSIZE = 0x0020;
constexpr UINT RBBIM_SIZE = 0x0040;
constexpr UINT RBBIM_BACKGROUND = 0x0080;
constexpr UINT RBBIM_ID = 0x0100;
constexpr UINT RBBIM_IDEALSIZE = 0x0200;
constexpr UINT RBBIM_LPARAM = 0x0400;
constexpr UINT RBBIM_HEADERSIZE = 0x0800;

constexpr UINT RB_INSERTBANDA = WM_USER + 1;
constexpr UINT RB_DELETEBAND = WM_USER + 2;
constexpr UINT RB_SETBARINFO = WM_USER + 4;
constexpr UINT RB_SETBANDINFOA = WM_USER + 6;
constexpr UINT RB_GETRECT = WM_USER + 9;
constexpr UINT RB_GETBANDCOUNT = WM_USER + 12;
constexpr UINT RB_BEGINDRAG = WM_USER + 24;
constexpr UINT RB_ENDDRAG = WM_USER + 25;
constexpr UINT RB_DRAGMOVE = WM_USER + 26;
constexpr UINT RB_GETBARHEIGHT = WM_USER + 27;
constexpr UINT RB_GETBANDINFOA = WM_USER + 29;
constexpr UINT RB_MAXIMIZEBAND = WM_USER + 31;
constexpr UINT RB_SHOWBAND = WM_USER + 35;

struct REBARINFO {
    UINT cbSize;
    UINT fMask;
    HIMAGELIST himl;
};

struct REBARBANDINFOA {
    UINT cbSize;
    UINT fMask;
    UINT fStyle;
    COLORREF clrFore;
    COLORREF clrBack;
    LPSTR lpText;
    UINT cch;
    int iImage;
    HWND hwndChild;
    UINT cxMinChild;
    UINT cyMinChild;
    UINT cx;
    HBITMAP hbmBack;
    UINT wID;
    UINT cyChild;
    UINT cyMaxChild;
    UINT cyIntegral;
    UINT cxIdeal;
    LPARAM lParam;
    UINT cxHeader;
};

constexpr DWORD RBNM_ID = 0x00000001;
constexpr DWORD RBNM_STYLE = 0x00000002;
constexpr DWORD RBNM_LPARAM = 0x00000004;

struct NMREBAR {
    NMHDR hdr;
    DWORD dwMask;
    UINT uBand;
    UINT fStyle;
    UINT wID;
    LPARAM lParam;
};

// Tooltip.
constexpr DWORD TTS_ALWAYSTIP = 0x01;
constexpr DWORD TTS_NOPREFIX = 0x02;
constexpr UINT TTF_IDISHWND = 0x0001;
constexpr UINT TTF_CENTERTIP = 0x0002;
constexpr UINT TTF_SUBCLASS = 0x0010;
constexpr UINT TTF_TRACK = 0x0020;
constexpr UINT TTF_ABSOLUTE = 0x0080;
constexpr UINT TTF_TRANSPARENT = 0x0100;
constexpr UINT TTM_ACTIVATE = WM_USER + 1;
constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;
constexpr UINT TTM_ADDTOOLA = WM_USER + 4;
constexpr UINT TTM_DELTOOLA = WM_USER + 5;
constexpr UINT TTM_NEWTOOLRECTA = WM_USER + 6;
constexpr UINT TTM_RELAYEVENT = WM_USER + 7;
constexpr UINT TTM_GETTOOLINFOA = WM_USER + 8;
constexpr UINT TTM_UPDATETIPTEXTA = WM_USER + 12;
constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
constexpr UINT TTM_POP = WM_USER + 28;
constexpr WPARAM TTDT_AUTOMATIC = 0;
constexpr WPARAM TTDT_RESHOW = 1;
constexpr WPARAM TTDT_AUTOPOP = 2;
constexpr WPARAM TTDT_INITIAL = 3;

// cbSize: the framework's records give 48, the size of the record without lpReserved on the
// original 32-bit layout; any size from 48 up is taken.
struct TOOLINFOA {
    UINT cbSize;
    UINT uFlags;
    HWND hwnd;
    UINT_PTR uId;
    RECT rect;
    HINSTANCE hinst;
    LPSTR lpszText;
    LPARAM lParam;
    void* lpReserved;
};

// Button.
constexpr DWORD BS_PUSHBUTTON = 0x00000000;
constexpr DWORD BS_OWNERDRAW = 0x0000000B;
constexpr DWORD BS_ICON = 0x00000040;
constexpr DWORD BS_BITMAP = 0x00000080;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_CLICK = 0x00F5;
constexpr UINT BM_GETIMAGE = 0x00F6;
constexpr UINT BM_SETIMAGE = 0x00F7;
constexpr LRESULT BST_PUSHED = 0x0004;
constexpr LRESULT BST_HOT = 0x0200;
constexpr WORD BN_CLICKED = 0;

// Image lists: images of one size, each with its mask.
constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;

// Cuts the bitmap resource into images `width` wide; `mask` is the colour that becomes
// transparent (CLR_DEFAULT: the top-left pixel's, CLR_NONE: none). Null when the bitmap is missing.
HIMAGELIST ImageList_LoadImageA(
    HINSTANCE instance, LPCSTR name, int width, int grow, COLORREF mask, UINT type, UINT flags);
HIMAGELIST ImageList_Duplicate(HIMAGELIST list);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height);
// Replaces the image (index -1 appends); answers its index, -1 on failure.
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
// A new icon of the image; the caller destroys it.
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);

// Gradients between two colours across rectangles (GRADIENT_FILL_RECT_H left to right,
// GRADIENT_FILL_RECT_V top to bottom): each GRADIENT_RECT names the vertex of its upper left
// corner, with the colour there, and of its lower right one. Colour channels are 16-bit (the
// 8-bit value in the high byte). FALSE for another mode or a vertex out of range.
// Callers: the toolbars' hot and pressed buttons (framework).
using COLOR16 = unsigned short;
struct TRIVERTEX {
    LONG x;
    LONG y;
    COLOR16 Red;
    COLOR16 Green;
    COLOR16 Blue;
    COLOR16 Alpha;
};
struct GRADIENT_RECT {
    ULONG UpperLeft;
    ULONG LowerRight;
};
constexpr ULONG GRADIENT_FILL_RECT_H = 0x00;
constexpr ULONG GRADIENT_FILL_RECT_V = 0x01;
BOOL GradientFill(HDC dc, const TRIVERTEX* vertices, ULONG count, const void* mesh, ULONG meshcount, ULONG mode);

// Themes: the background of the parent window under the control, as the parent erases it.
HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect);
// Visual styles do not apply here; the call is taken and changes nothing.
HRESULT SetWindowTheme(HWND window, const wchar_t* application, const wchar_t* idlist);

namespace winqt {

// Registers the control classes; install() calls it.
void registercontrols();
// Sends WM_NOTIFY with the record (whose NMHDR is filled here) to the control's parent.
LRESULT notifyparent(HWND control, UINT code, NMHDR* record);

} // namespace winqt
