#include "online/CompressedResource.h"

#include <windows.h>

#include "framework/Text.h"
#include "online/RichView.h"
#include "online/uCompressedText.h"
#include "online/uGuide.h"

std::string LoadCompressedText(const std::string& name, const std::string& type) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, Utf8ToWide(name).c_str(), Utf8ToWide(type).c_str());
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) throw EResNotFound("Resource " + name + " not found");
  return InflateCompressedText(static_cast<const uint8_t*>(data), SizeofResource(module, found));
}

void LoadCompressedResource(TRichView& control, const std::string& name, const std::string& type) {
  const std::string text = LoadCompressedText(name, type);
  control.SetRichText(text);
}

void LoadCompressedStrings(std::vector<std::string>& list, const std::string& name,
                           const std::string& type) {
  list = SplitTextLines(LoadCompressedText(name, type));
}
