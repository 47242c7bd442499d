#pragma once
// Writes a parsed registry script into a registry, or removes it again.
#include "registrar/registrar_registry.h"
#include "registrar/registry_script.h"

namespace zx {

enum class RegistrationMode {
  kRegister,
  // Registers while the module's build of the other bitness is registered
  // too: a failure then rolls back as kUnregisterOwnView, so the keys the
  // other build relies on stay.
  kRegisterBesideOtherView,
  kUnregister,
  // Unregisters only what belongs to this module's registry view: the
  // classes root's keys that 64-bit Windows shares between its 32-bit and
  // 64-bit views (all but CLSID and Interface; ProgIDs among them) stay,
  // because the other build of the module still uses them.
  kUnregisterOwnView,
};

// Register: creates or opens each key and sets its values; a ForceRemove key
// is first deleted with its subkeys, a Delete key only deleted. A failure
// stops the writing, the script is then unregistered so that no
// half-written registration stays behind, and the failure is returned.
//
// Register beside the other view: the same, but the rollback leaves the
// keys both registry views share.
//
// Unregister: deletes each key the script names with its subkeys; a
// NoRemove key stays, with its default value, while its named values and
// the keys of its block go. Missing keys and values are no failure. Goes on
// past failures so as much as possible is removed; returns the first.
//
// Unregister own view: the same, but top-level keys of the classes root other
// than CLSID and Interface are left alone.
//
// Keys named AppID, CLSID, Component Categories, FileType, Interface,
// Hardware, Mime, SAM, SECURITY, SYSTEM, Software or TypeLib (in any case)
// are never deleted; at unregistration they are treated as NoRemove.
RegistryStatus ApplyRegistryScript(const RegistryScript& script, Registry& registry,
                                   RegistrationMode mode);

}  // namespace zx
