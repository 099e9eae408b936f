#pragma once
// Constants of the Windows platform that the portable logic uses. Declared once here;
// the Win32 build checks each against the SDK (platform/win32/ConstantChecks.cpp). Include it only in
// portable code: <windows.h> defines the same names as macros.

#include <cstdint>

namespace tarnwick {

// Error codes (winerror.h)
inline constexpr std::uint32_t ERROR_SUCCESS = 0;
inline constexpr std::uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::uint32_t ERROR_ACCESS_DENIED = 5;
inline constexpr std::uint32_t ERROR_INVALID_HANDLE = 6;
inline constexpr std::uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr std::uint32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr std::uint32_t ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr std::uint32_t ERROR_NO_MORE_ITEMS = 259;
inline constexpr std::uint32_t ERROR_INVALID_DATA = 13;
inline constexpr std::uint32_t ERROR_NOT_FOUND = 1168;
inline constexpr std::uint32_t ERROR_NO_SUCH_DEVINST = 0xE000020B;
inline constexpr std::uint32_t ERROR_INVALID_REG_PROPERTY = 0xE0000209;
inline constexpr std::uint32_t ERROR_DI_DO_DEFAULT = 0xE000020E;

// SetupDiGetClassDevs flags (setupapi.h)
inline constexpr std::uint32_t DIGCF_DEFAULT = 0x1;
inline constexpr std::uint32_t DIGCF_PRESENT = 0x2;
inline constexpr std::uint32_t DIGCF_ALLCLASSES = 0x4;
inline constexpr std::uint32_t DIGCF_PROFILE = 0x8;
inline constexpr std::uint32_t DIGCF_DEVICEINTERFACE = 0x10;

// Setup registry properties (setupapi.h)
inline constexpr std::uint32_t SPDRP_DEVICEDESC = 0;
inline constexpr std::uint32_t SPDRP_HARDWAREID = 1;
inline constexpr std::uint32_t SPDRP_COMPATIBLEIDS = 2;
inline constexpr std::uint32_t SPDRP_CLASS = 7;
inline constexpr std::uint32_t SPDRP_CLASSGUID = 8;
inline constexpr std::uint32_t SPDRP_DRIVER = 9;
inline constexpr std::uint32_t SPDRP_MFG = 11;
inline constexpr std::uint32_t SPDRP_FRIENDLYNAME = 12;
inline constexpr std::uint32_t SPDRP_LOCATION_INFORMATION = 13;
inline constexpr std::uint32_t SPDRP_PHYSICAL_DEVICE_OBJECT_NAME = 14;
inline constexpr std::uint32_t SPDRP_CAPABILITIES = 15;
inline constexpr std::uint32_t SPDRP_UI_NUMBER = 16;
inline constexpr std::uint32_t SPDRP_MAXIMUM_PROPERTY = 0x24;

// Registry value types (winnt.h)
inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;

// Device node status bits (cfg.h)
inline constexpr std::uint32_t DN_ROOT_ENUMERATED = 0x1;
inline constexpr std::uint32_t DN_DRIVER_LOADED = 0x2;
inline constexpr std::uint32_t DN_STARTED = 0x8;
inline constexpr std::uint32_t DN_LIAR = 0x100;
inline constexpr std::uint32_t DN_HAS_PROBLEM = 0x400;
inline constexpr std::uint32_t DN_DISABLEABLE = 0x2000;
inline constexpr std::uint32_t DN_REMOVABLE = 0x4000;
inline constexpr std::uint32_t DN_WILL_BE_REMOVED = 0x40000;
inline constexpr std::uint32_t DN_NO_SHOW_IN_DM = 0x40000000;

// Problem codes (cfg.h)
inline constexpr std::uint32_t CM_PROB_FAILED_START = 10;
inline constexpr std::uint32_t CM_PROB_DISABLED = 22;
inline constexpr std::uint32_t CM_PROB_DEVICE_NOT_THERE = 24;
inline constexpr std::uint32_t CM_PROB_FAILED_ADD = 31;
inline constexpr std::uint32_t CM_PROB_HELD_FOR_EJECT = 47;

// Device capabilities (cfgmgr32.h)
inline constexpr std::uint32_t CM_DEVCAP_REMOVABLE = 0x4;
inline constexpr std::uint32_t CM_DEVCAP_DOCKDEVICE = 0x8;
inline constexpr std::uint32_t CM_DEVCAP_SURPRISEREMOVALOK = 0x80;

// Configuration-manager return codes (cfgmgr32.h)
inline constexpr std::uint32_t CR_SUCCESS = 0;
inline constexpr std::uint32_t CR_INVALID_POINTER = 0x3;
inline constexpr std::uint32_t CR_INVALID_DEVNODE = 0x5;
inline constexpr std::uint32_t CR_NO_SUCH_DEVNODE = 0xD;
inline constexpr std::uint32_t CR_BUFFER_SMALL = 0x1A;
inline constexpr std::uint32_t CR_NO_SUCH_DEVINST = 0xD;
inline constexpr std::uint32_t CR_FAILURE = 0x13;

// Class installer (setupapi.h)
inline constexpr std::uint32_t DIF_PROPERTYCHANGE = 0x12;
inline constexpr std::uint32_t DICS_ENABLE = 1;
inline constexpr std::uint32_t DICS_DISABLE = 2;
inline constexpr std::uint32_t DICS_PROPCHANGE = 3;
inline constexpr std::uint32_t DICS_FLAG_GLOBAL = 1;
inline constexpr std::uint32_t DI_NEEDRESTART = 0x80;
inline constexpr std::uint32_t DI_NEEDREBOOT = 0x100;

// Storage (winioctl.h, ntddstor.h)
inline constexpr std::uint32_t IOCTL_STORAGE_QUERY_PROPERTY = 0x2D1400;
inline constexpr std::uint32_t IOCTL_STORAGE_GET_DEVICE_NUMBER = 0x2D1080;
inline constexpr std::uint32_t FILE_DEVICE_CD_ROM = 2;
inline constexpr std::uint32_t FILE_DEVICE_DISK = 7;
inline constexpr std::uint32_t BusTypeUnknown = 0;
inline constexpr std::uint32_t BusTypeUsb = 7;

// Files (winnt.h, fileapi.h)
inline constexpr std::uint32_t OPEN_EXISTING = 3;
inline constexpr std::uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;

// Files, folders and the log's file access (winnt.h, fileapi.h, winbase.h)
inline constexpr std::uint32_t GENERIC_READ = 0x80000000;
inline constexpr std::uint32_t GENERIC_WRITE = 0x40000000;
inline constexpr std::uint32_t FILE_SHARE_READ = 0x1;
inline constexpr std::uint32_t FILE_SHARE_WRITE = 0x2;
inline constexpr std::uint32_t CREATE_NEW = 1;
inline constexpr std::uint32_t CREATE_ALWAYS = 2;
inline constexpr std::uint32_t FILE_BEGIN = 0;
inline constexpr std::uint32_t FILE_END = 2;
inline constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr std::uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
inline constexpr std::uint32_t MAX_PATH = 260;
inline constexpr std::uint32_t ERROR_SHARING_VIOLATION = 32;
inline constexpr std::uint32_t ERROR_FILE_EXISTS = 80;
inline constexpr std::uint32_t ERROR_MORE_DATA = 234;
inline constexpr std::uint32_t ERROR_CANCELLED = 1223;

// Registry (winnt.h, winreg.h)
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_OPTION_NON_VOLATILE = 0;
inline constexpr std::uint32_t KEY_QUERY_VALUE = 0x1;
inline constexpr std::uint32_t KEY_READ = 0x20019;
inline constexpr std::uint32_t KEY_ALL_ACCESS = 0xF003F;
inline constexpr std::uint32_t KEY_WOW64_64KEY = 0x100;

// Shell (shlobj.h, shellapi.h, winuser.h)
inline constexpr std::uint32_t CSIDL_APPDATA = 0x1A;
inline constexpr std::uint32_t SEE_MASK_NOCLOSEPROCESS = 0x40;
inline constexpr std::uint32_t SEE_MASK_NOASYNC = 0x100;
inline constexpr std::uint32_t SEE_MASK_FLAG_NO_UI = 0x400;
inline constexpr std::uint32_t SW_SHOWNORMAL = 1;

// Code pages and locale settings (winnls.h)
inline constexpr std::uint32_t WC_DISCARDNS = 0x10;
inline constexpr std::uint32_t WC_SEPCHARS = 0x20;
inline constexpr std::uint32_t WC_DEFAULTCHAR = 0x40;
inline constexpr std::uint32_t WC_COMPOSITECHECK = 0x200;
inline constexpr std::uint32_t LOCALE_USER_DEFAULT = 0x400;
inline constexpr std::uint32_t LOCALE_STIME = 0x1E;

// Windows, messages and timers (winuser.h, commctrl.h)
inline constexpr std::uint32_t WM_TIMER = 0x0113;
inline constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr std::uint32_t BCM_SETSHIELD = 0x160C;
inline constexpr std::uint32_t SW_HIDE = 0;
inline constexpr std::uint32_t SW_SHOW = 5;
inline constexpr std::uint32_t SW_RESTORE = 9;
inline constexpr std::uint32_t SWP_NOSIZE = 0x1;
inline constexpr std::uint32_t SWP_NOZORDER = 0x4;
inline constexpr std::uint32_t SWP_NOACTIVATE = 0x10;
inline constexpr std::uint32_t WS_POPUP = 0x80000000;
inline constexpr std::uint32_t WS_CAPTION = 0xC00000;
inline constexpr std::uint32_t WS_SYSMENU = 0x80000;
inline constexpr std::uint32_t WS_MINIMIZEBOX = 0x20000;
inline constexpr std::uint32_t WS_CLIPSIBLINGS = 0x4000000;
inline constexpr std::uint32_t WS_CLIPCHILDREN = 0x2000000;
inline constexpr std::uint32_t WS_EX_DLGMODALFRAME = 0x1;
inline constexpr std::uint32_t WS_EX_TOOLWINDOW = 0x80;
inline constexpr std::uint32_t MONITOR_DEFAULTTONEAREST = 2;
inline constexpr std::uint32_t MB_OK = 0;
inline constexpr std::uint32_t MB_ICONSTOP = 0x10;

// Notification area and application bar (shellapi.h)
inline constexpr std::uint32_t NIM_ADD = 0;
inline constexpr std::uint32_t NIM_MODIFY = 1;
inline constexpr std::uint32_t NIM_DELETE = 2;
inline constexpr std::uint32_t NIF_MESSAGE = 0x1;
inline constexpr std::uint32_t NIF_ICON = 0x2;
inline constexpr std::uint32_t NIF_TIP = 0x4;
inline constexpr std::uint32_t NIF_INFO = 0x10;
inline constexpr std::uint32_t NIIF_NONE = 0;
inline constexpr std::uint32_t NIIF_INFO = 1;
inline constexpr std::uint32_t NIIF_WARNING = 2;
inline constexpr std::uint32_t NIIF_ERROR = 3;
inline constexpr std::uint32_t ABM_GETSTATE = 4;
inline constexpr std::uint32_t ABS_AUTOHIDE = 1;
inline constexpr std::uint32_t ABS_ALWAYSONTOP = 2;
inline constexpr std::uint32_t ABE_LEFT = 0;
inline constexpr std::uint32_t ABE_TOP = 1;
inline constexpr std::uint32_t ABE_RIGHT = 2;
inline constexpr std::uint32_t ABE_BOTTOM = 3;

// Exceptions (winnt.h, excpt.h)
inline constexpr std::uint32_t EXCEPTION_NONCONTINUABLE = 0x1;
inline constexpr std::uint32_t EXCEPTION_STACK_OVERFLOW = 0xC00000FD;
inline constexpr std::uint32_t EXCEPTION_CONTINUE_SEARCH = 0;

// Version information (winnt.h, winuser.h)
inline constexpr std::uint32_t VER_PLATFORM_WIN32s = 0;
inline constexpr std::uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr std::uint32_t VER_PLATFORM_WIN32_NT = 2;
inline constexpr std::uint8_t VER_NT_WORKSTATION = 1;
inline constexpr std::uint8_t VER_NT_DOMAIN_CONTROLLER = 2;
inline constexpr std::uint8_t VER_NT_SERVER = 3;
inline constexpr std::uint16_t VER_SUITE_SMALLBUSINESS = 0x1;
inline constexpr std::uint16_t VER_SUITE_ENTERPRISE = 0x2;
inline constexpr std::uint16_t VER_SUITE_SMALLBUSINESS_RESTRICTED = 0x20;
inline constexpr std::uint16_t VER_SUITE_DATACENTER = 0x80;
inline constexpr std::uint16_t VER_SUITE_PERSONAL = 0x200;
inline constexpr std::uint16_t VER_SUITE_BLADE = 0x400;
inline constexpr std::uint16_t PROCESSOR_ARCHITECTURE_IA64 = 6;
inline constexpr std::uint16_t PROCESSOR_ARCHITECTURE_AMD64 = 9;
inline constexpr int SM_SERVERR2 = 89;

// Windows, controls, menus, painting and the message loop of the toolkit (winuser.h, wingdi.h, winnls.h)
inline constexpr std::uint32_t WM_NULL = 0x0000;
inline constexpr std::uint32_t WM_ACTIVATE = 0x0006;
inline constexpr std::uint32_t WM_KILLFOCUS = 0x0008;
inline constexpr std::uint32_t WM_PAINT = 0x000F;
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_QUERYENDSESSION = 0x0011;
inline constexpr std::uint32_t WM_QUIT = 0x0012;
inline constexpr std::uint32_t WM_ERASEBKGND = 0x0014;
inline constexpr std::uint32_t WM_SETCURSOR = 0x0020;
inline constexpr std::uint32_t WM_SETFONT = 0x0030;
inline constexpr std::uint32_t WM_SETICON = 0x0080;
inline constexpr std::uint32_t WM_KEYFIRST = 0x0100;
inline constexpr std::uint32_t WM_KEYLAST = 0x0109;
inline constexpr std::uint32_t WM_COMMAND = 0x0111;
inline constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr std::uint32_t WM_DEVICECHANGE = 0x0219;
inline constexpr std::uint32_t WM_MOUSELEAVE = 0x02A3;
inline constexpr std::uint32_t WA_INACTIVE = 0;
inline constexpr std::uint32_t HTCLIENT = 1;
inline constexpr std::uint32_t ICON_BIG = 1;
inline constexpr std::uint32_t WS_CHILD = 0x40000000;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000;
inline constexpr std::uint32_t WS_TABSTOP = 0x10000;
inline constexpr std::uint32_t WS_THICKFRAME = 0x40000;
inline constexpr std::uint32_t BS_PUSHBUTTON = 0;
inline constexpr std::uint32_t BN_CLICKED = 0;
inline constexpr std::uint32_t IDOK = 1;
inline constexpr std::uint32_t IDCANCEL = 2;
inline constexpr std::uint32_t SW_SHOWNOACTIVATE = 4;
inline constexpr std::uint32_t MONITOR_DEFAULTTOPRIMARY = 1;
inline constexpr std::uint32_t MF_STRING = 0;
inline constexpr std::uint32_t MF_SEPARATOR = 0x800;
inline constexpr std::uint32_t TPM_LEFTALIGN = 0;
inline constexpr std::uint32_t TPM_RIGHTBUTTON = 0x2;
inline constexpr std::uint32_t TME_LEAVE = 0x2;
inline constexpr std::uint32_t MSGFLT_ADD = 1;
inline constexpr std::uint32_t MB_ICONWARNING = 0x30;
inline constexpr std::uint32_t DT_LEFT = 0;
inline constexpr std::uint32_t DT_WORDBREAK = 0x10;
inline constexpr std::uint32_t DT_NOPREFIX = 0x800;
inline constexpr std::uint32_t TRANSPARENT = 1;
inline constexpr std::uint32_t EDGE_ETCHED = 6;
inline constexpr std::uint32_t BF_TOP = 0x2;
inline constexpr std::uint32_t FW_NORMAL = 400;
inline constexpr std::uint32_t FW_BOLD = 700;
inline constexpr std::uint32_t COLOR_WINDOW = 5;
inline constexpr std::uint32_t COLOR_WINDOWTEXT = 8;
inline constexpr std::uint32_t COLOR_BTNFACE = 15;
inline constexpr std::uint32_t COLOR_HOTLIGHT = 26;
inline constexpr std::uint32_t NORM_IGNORECASE = 0x1;
inline constexpr std::uint32_t CSTR_EQUAL = 2;
// Text measurement and display scale (winuser.h)
inline constexpr std::uint32_t DT_CALCRECT = 0x400;
inline constexpr std::uint32_t WM_GETFONT = 0x0031;
inline constexpr std::uint32_t WM_DPICHANGED = 0x02E0;
inline constexpr std::uint32_t ICON_SMALL = 0;
// The system's hand cursor: the number behind IDC_HAND (a resource-name pointer in the SDK, so it is not
// checked with the others; the Wine test of the toolkit's adapter loads it).
inline constexpr std::uint16_t IdcHandCursor = 32649;
} // namespace tarnwick
