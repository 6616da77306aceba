// The program's use of the registry (through Platform().Registry()): file-type associations,
// the program's own keys, the uninstall entry and the application sound events. Every read gives
// "<none>" for a missing key or value, and writing "<none>" deletes instead; failures are not
// reported.
#pragma once
#include <cstdint>
#include <string>

#include "foundation/uRegistryStore.h"

inline constexpr const char* kRegNone = "<none>";

// The key's default value; "<none>" when the key is missing. A key without a default value gives
// an empty text, as RegQueryValue answers.
std::string RegReadDefault(tRegRoot root, const std::string& key);
// A named string value; "<none>" when the key or the value is missing.
std::string RegReadValue(tRegRoot root, const std::string& key, const std::string& name);
// Sets the key's default value, creating the key; "<none>" deletes the key (not when it has
// subkeys).
void RegWriteDefault(tRegRoot root, const std::string& key, const std::string& value);
// Sets a named string value, creating the key; "<none>" deletes the value.
void RegWriteValue(tRegRoot root, const std::string& key, const std::string& name,
                   const std::string& value);
bool KeyHasSubKeys(tRegRoot root, const std::string& key);
std::string ClassesRead(const std::string& key);
void ClassesWrite(const std::string& key, const std::string& value);
void ClassesWriteValue(const std::string& key, const std::string& name, const std::string& value);

// The twelve media types the program can be associated with; bit i of a mask is row i.
struct tAssociation {
  const char* Description;
  const char* ClassName;
  const char* Extensions;   // blank-separated, without dots
  const char* ContentType;  // null when the row has none
  int IconIndex;
};
inline constexpr int kAssociationCount = 12;
extern const tAssociation Associations[kAssociationCount];

// The open command: the program file and %1, each in double quotes.
std::string OpenCommand(const std::string& program);
// query: a := the rows whose every extension opens with this program. Otherwise, for every row
// whose bit differs between a (the current mask) and b (the wanted one): a row set in a is
// removed, a row clear in a is written. Removing takes our class key as a tree, but of each
// extension key only the values that are ours, and the key itself only when nothing is left.
void RegisterFileAssociations(const std::string& program, bool query, uint32_t& a, uint32_t b);

// The default browser's open command ("<none>" when there is none).
std::string GetDefaultBrowserCommand();
// The user's Quick Launch folder; empty when unknown.
std::string GetQuickLaunchFolder();

// "SOFTWARE\<maker>", "<maker key>\<product>", "<product key>\<version number text>".
std::string MakerKey();
std::string ProductKey(const std::string& product);
std::string VersionKey(const std::string& product, const std::string& versionText);
// The product key's default value; empty when the product was never installed.
std::string ReadInstalledVersion(const std::string& product);
// Removes the uninstall entry, the open command, the version key, and the product and maker keys
// when nothing else is left under them.
void RemoveInstallEntries(const std::string& product, const std::string& versionText);

// With a wave file: the event's label and its current sound. With an empty one: both removed,
// and the event's scheme key with everything under it.
void RegisterSoundEvent(const std::string& event, const std::string& waveFile);
