// The identifiers of the control's COM class, interfaces and type library (the same values
// are written in TaviColorTxt.idl; the type library test checks that they agree), and the
// facts about the control that its registration and its OLE interfaces share.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <ole2.h>

namespace tavi::win32 {

// LIBID of the type library TaviColorTxt, version 1.0.
inline constexpr GUID kLibId = {
    0x204920E4, 0xFE4D, 0x4FB3, {0x90, 0x5F, 0x43, 0xF9, 0xAB, 0xEA, 0x38, 0xFB}};
// CLSID of the coclass TaviColorText.
inline constexpr GUID kClsid = {
    0xD95397C2, 0x5269, 0x42D2, {0x92, 0x73, 0xF0, 0x2F, 0x89, 0xBC, 0x93, 0x9C}};
// IID of the default dual interface _TaviColorText.
inline constexpr GUID kIid = {
    0x9FB80D52, 0xBB22, 0x414C, {0x84, 0xB6, 0x97, 0xC7, 0xFB, 0x3D, 0x43, 0xE7}};
// DIID of the event dispinterface __TaviColorText.
inline constexpr GUID kEventsIid = {
    0x3A1360DA, 0x9E4C, 0x405E, {0x9E, 0x86, 0x8E, 0x2F, 0xEC, 0xB2, 0x21, 0xEB}};

// The type library's version: the project's major.minor, as in the IDL.
inline constexpr WORD kLibMajor = TAVI_TYPELIB_MAJOR;
inline constexpr WORD kLibMinor = TAVI_TYPELIB_MINOR;
inline constexpr const wchar_t* kProgId = L"TaviColorTxt.TaviColorText";
// The source named in the errors the control reports.
inline constexpr const wchar_t* kErrorSource = kProgId;

// How the control is sited, for IOleObject::GetMiscStatus and the registry's MiscStatus.
inline constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                                     OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                                     OLEMISC_SETCLIENTSITEFIRST;
// The size of a new control in HIMETRIC (0.01 mm): 600 by 400 pixels at 96 dots per inch.
inline constexpr SIZEL kDefaultExtent = {15875, 10583};

}  // namespace tavi::win32
