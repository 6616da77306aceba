// The Win32 platform's clock, locale, files and disks (the wide calls throughout).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/uPlatform.h"

TDateTime Win32Now();
tFormatSettings Win32FormatSettings();
int Win32CompareTextLocale(const std::string& a, const std::string& b);
std::string Win32LocaleSortKey(const std::string& text);
std::string Win32WindowsFolder();
std::string Win32EnvVariable(const std::string& name);
std::string Win32AssociatedProgram(const std::string& path);
bool Win32FindItems(const std::string& pattern, std::vector<tFoundItem>& items);
uint32_t Win32ItemAttributes(const std::string& path);
bool Win32SetItemDosTime(const std::string& path, uint32_t dosTime);
bool Win32SetItemAttributes(const std::string& path, uint32_t attributes);
bool Win32MakeFolder(const std::string& path);
bool Win32RemoveFile(const std::string& path);
bool Win32ReplaceFile(const std::string& from, const std::string& to);
uint32_t Win32ExchangeErrorMode(uint32_t mode);
bool Win32DiskFreeBytes(const std::string& root, uint64_t& freeBytes, uint64_t& totalBytes);
bool Win32DiskClusters(const std::string& root, uint32_t& sectorsPerCluster,
                       uint32_t& bytesPerSector, uint32_t& freeClusters, uint32_t& totalClusters);
