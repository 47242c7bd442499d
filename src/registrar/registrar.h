#pragma once
// Writes a parsed registry script into a registry, or removes it again.
#include "registrar/registrar_registry.h"
#include "registrar/registry_script.h"

namespace zx {

enum class RegistrationMode { kRegister, kUnregister };

// Whether the module's build of the other bitness is registered too. It then
// still uses the classes root's keys that 64-bit Windows shares between its
// 32-bit and 64-bit views (all but CLSID and Interface; ProgIDs among them),
// so neither unregistering this build nor undoing its failed registration
// removes them.
enum class OtherView { kUnregistered, kRegistered };

// Register: creates or opens each key and sets its values; a ForceRemove key
// is first deleted with its subkeys, a Delete key only deleted. A failure
// stops the writing, the script is then unregistered so that no
// half-written registration stays behind, and the failure is returned.
//
// Unregister: deletes each key the script names with its subkeys; a
// NoRemove key stays, with its default value, while its named values and
// the keys of its block go. Missing keys and values are no failure. Goes on
// past failures so as much as possible is removed; returns the first.
//
// Keys named AppID, CLSID, Component Categories, FileType, Interface,
// Hardware, Mime, SAM, SECURITY, SYSTEM, Software or TypeLib (in any case)
// are never deleted; at unregistration they are treated as NoRemove.
RegistryStatus ApplyRegistryScript(const RegistryScript& script, Registry& registry,
                                   RegistrationMode mode,
                                   OtherView otherView = OtherView::kUnregistered);

}  // namespace zx
