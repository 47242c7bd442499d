#pragma once
// The scripting surface the compiled type library must describe, written out
// independently of zxmlhttp.idl so that a slip in either one shows up.
#include <windows.h>
#include <oaidl.h>

#include <vector>

namespace zx::typelib_expected {

// Parameter directions as a type library stores them.
constexpr USHORT kIn = PARAMFLAG_FIN;
constexpr USHORT kInOptional = PARAMFLAG_FIN | PARAMFLAG_FOPT;
constexpr USHORT kRetval = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;

struct Param {
  const wchar_t* name;  // null: the parameter has no name
  const wchar_t* type;  // as rendered by the test: "BSTR", "long*", "IDispatch**", ...
  USHORT flags;
};

struct Operation {
  DISPID dispid;
  INVOKEKIND kind;
  const wchar_t* name;
  std::vector<Param> params;
  const wchar_t* help;
};

struct Interface {
  const wchar_t* name;
  const wchar_t* iid;
  const wchar_t* help;
  std::vector<Operation> operations;  // in table order
};

struct Class {
  const wchar_t* name;
  const wchar_t* clsid;
  const wchar_t* help;
  const Interface* defaultInterface;
};

constexpr const wchar_t* kLibraryName = L"zxmlhttpLib";
constexpr const wchar_t* kLibid = L"{6B1F3D2A-41C7-4E8B-9A55-0C2D7E93F1A4}";
constexpr const wchar_t* kLibraryHelp = L"zxmlhttp 1.0 Type Library";
constexpr LCID kLibraryLcid = 0x0409;
constexpr const wchar_t* kStdOleLibid = L"{00020430-0000-0000-C000-000000000046}";

inline const Interface kRequestInterface{
    L"IZevXMLHttpRequest",
    L"{8D2C61F0-3B7E-4A95-B1D4-6E0F92A7C385}",
    L"IZevXMLHttpRequest Interface",
    {
        {1, INVOKE_FUNC, L"open",
         {{L"bstrMethod", L"BSTR", kIn},
          {L"bstrUrl", L"BSTR", kIn},
          {L"varAsync", L"VARIANT", kIn},
          {L"bstrUser", L"VARIANT", kInOptional},
          {L"bstrPassword", L"VARIANT", kInOptional}},
         L"Open HTTP connection"},
        {2, INVOKE_FUNC, L"setRequestHeader",
         {{L"bstrHeader", L"BSTR", kIn}, {L"bstrValue", L"BSTR", kIn}},
         L"Add HTTP request header"},
        {3, INVOKE_FUNC, L"getResponseHeader",
         {{L"bstrHeader", L"BSTR", kIn}, {L"pbstrValue", L"BSTR*", kRetval}},
         L"Get HTTP response header"},
        {4, INVOKE_FUNC, L"getAllResponseHeaders",
         {{L"pbstrHeaders", L"BSTR*", kRetval}},
         L"Get all HTTP response headers"},
        {5, INVOKE_FUNC, L"send", {{L"varBody", L"VARIANT", kInOptional}}, L"Send HTTP request"},
        {6, INVOKE_FUNC, L"abort", {}, L"Abort HTTP request"},
        {7, INVOKE_PROPERTYGET, L"status", {{L"plStatus", L"long*", kRetval}},
         L"Get HTTP status code"},
        {8, INVOKE_PROPERTYGET, L"statusText", {{L"pbstrStatus", L"BSTR*", kRetval}},
         L"Get HTTP status text"},
        {9, INVOKE_PROPERTYGET, L"responseXML", {{L"ppXML", L"IDispatch**", kRetval}},
         L"Get response body"},
        {10, INVOKE_PROPERTYGET, L"responseText", {{L"pbstrBody", L"BSTR*", kRetval}},
         L"Get response body"},
        {11, INVOKE_PROPERTYGET, L"responseBody", {{L"pvarBody", L"VARIANT*", kRetval}},
         L"Get response body"},
        {12, INVOKE_PROPERTYGET, L"responseStream", {{L"pvarBody", L"VARIANT*", kRetval}},
         L"Get response body"},
        {13, INVOKE_PROPERTYGET, L"readyState", {{L"plState", L"long*", kRetval}},
         L"Get ready state"},
        {14, INVOKE_PROPERTYPUT, L"onreadystatechange", {{nullptr, L"IDispatch*", kIn}},
         L"Register a complete event handler"},
        {15, INVOKE_PROPERTYGET, L"servicePort",
         {{L"psServicePort", L"unsigned short*", kRetval}},
         L"Get Service Port"},
        {16, INVOKE_PROPERTYPUT, L"ondisconnection", {{nullptr, L"IDispatch*", kIn}},
         L"Register a disconnection handler"},
        {17, INVOKE_PROPERTYGET, L"isNeedFixConnection",
         {{L"pbNeedFix", L"VARIANT_BOOL*", kRetval}},
         L"Query if need fix connection"},
        {18, INVOKE_PROPERTYGET, L"isOSVersionAfterVista",
         {{L"pbIsVistaOrLatter", L"VARIANT_BOOL*", kRetval}},
         L"Check if the OS is vista or latter version"},
        {19, INVOKE_PROPERTYGET, L"fixConnection", {{L"plRetCode", L"long*", kRetval}},
         L"Fix connection problems"},
    }};

inline const Interface kFileDialogInterface{
    L"IZevFileDialog",
    L"{E47A0B93-5C2D-4F18-A6E9-13B8D0F5C27E}",
    L"IZevFileDialog Interface",
    {
        {1, INVOKE_FUNC, L"GetOpenFileName",
         {{L"bstrTitle", L"BSTR", kIn}, {L"pvarFile", L"BSTR*", kRetval}},
         L"Get Open File Name"},
    }};

inline const Interface kMultiFileDialogInterface{
    L"IZevMultiFileDialog",
    L"{1F9B3E6C-82A4-4D07-BC51-A07E4D29F836}",
    L"IZevMultiFileDialog Interface",
    {
        {1, INVOKE_FUNC, L"GetOpenFileNameEx",
         {{L"bNotUseDefaultView", L"VARIANT_BOOL", kIn},
          {L"bstrCaption", L"BSTR", kIn},
          {L"bstrSubtitle", L"BSTR", kIn},
          {L"colorDialog", L"OLE_COLOR", kIn},
          {L"pbstrPaths", L"BSTR*", kRetval}},
         L"method GetOpenFileNameEx"},
        {2, INVOKE_FUNC, L"GetOpenFileNameEx2",
         {{L"bNotUseDefaultView", L"VARIANT_BOOL", kIn},
          {L"bstrCaption", L"BSTR", kIn},
          {L"bstrSubtitle", L"BSTR", kIn},
          {L"colorDialog", L"OLE_COLOR", kIn},
          {L"nX", L"VARIANT", kIn},
          {L"nY", L"VARIANT", kIn},
          {L"bRelativeParent", L"VARIANT_BOOL", kIn},
          {L"nReserved", L"VARIANT", kIn},
          {L"pbstrPaths", L"BSTR*", kRetval}},
         L"method GetOpenFileNameEx2"},
    }};

inline const std::vector<const Interface*> kInterfaces{
    &kRequestInterface, &kFileDialogInterface, &kMultiFileDialogInterface};

inline const std::vector<Class> kClasses{
    {L"ZevXMLHttpRequest", L"{52E9A0B4-C7D1-4A3E-95F8-2B6C8D17E045}",
     L"ZevXMLHttpRequest Class", &kRequestInterface},
    {L"ZevFileDialog", L"{3E8A7C51-9D2B-4F06-B4C3-71A5E0D96B28}",
     L"ZevFileDialog Class", &kFileDialogInterface},
    {L"ZevMultiFileDialog", L"{9C4D2E17-6A3F-4B81-8E20-D5F7B1C40A93}",
     L"ZevMultiFileDialog Class", &kMultiFileDialogInterface},
};

}  // namespace zx::typelib_expected
