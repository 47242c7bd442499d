#pragma once
// Where both ends of a pipe meet: a service publishes its pipe's name as the
// REG_SZ value "Name" of HKEY_LOCAL_MACHINE\<SP root><service>, and clients
// open "\\.\Pipe\" followed by that name.
namespace zx {

inline constexpr wchar_t kDefaultSpRootKeyPath[] = L"SOFTWARE\\Velmora\\ZevCommon\\SP_ROOT\\";
inline constexpr wchar_t kPipeNameValue[] = L"Name";
inline constexpr wchar_t kPipePathPrefix[] = L"\\\\.\\Pipe\\";

}  // namespace zx
