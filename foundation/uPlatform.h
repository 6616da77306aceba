// The few things portable code needs to ask of the operating system. The programs install the
// Win32 implementation at start-up; native tests use the plain one, whose answers they can set.
#pragma once
#include <cstdint>
#include <string>

struct tWindowsVersion {
  int PlatformId = 2;  // 0 Win32s, 1 Windows 9x, 2 NT family
  int Major = 6;
  int Minor = 1;
  uint32_t Build = 7601;  // low 16 bits: build number; high 16 bits: major and minor
};

class tPlatform {
 public:
  virtual ~tPlatform() = default;
  // Full-screen client size: SM_CXFULLSCREEN, SM_CYFULLSCREEN + SM_CYCAPTION.
  virtual void FullScreenSize(int& width, int& height) = 0;
  // Bits per pixel times planes of the screen.
  virtual int ScreenColorBits() = 0;
  // The screen's size in pixels: SM_CXSCREEN, SM_CYSCREEN.
  virtual void ScreenSize(int& width, int& height) = 0;
  // The process command line as the system hands it over (UTF-8).
  virtual std::string CommandLine() = 0;
  virtual tWindowsVersion WindowsVersion() = 0;
  // A string resource of the running program ('' when there is none).
  virtual std::string ResourceString(int id) = 0;
  // Sends a message to a window (SendMessage); handle 0 sends nothing.
  virtual intptr_t SendWindowMessage(intptr_t window, unsigned message, uintptr_t wparam,
                                     intptr_t lparam) = 0;
  // A system colour (GetSysColor index) as 0x00BBGGRR; 0 for an unknown index.
  virtual uint32_t SysColor(int index) = 0;
  // The user's locale's number separators (UTF-8; empty when the locale has none).
  virtual std::string ThousandSeparator() = 0;
  virtual std::string DecimalSeparator() = 0;
};

// The platform in use; the plain one until a program installs another.
tPlatform& Platform();
// Installs a platform (nullptr returns to the plain one). Not owned.
void SetPlatform(tPlatform* platform);

// The plain platform: fixed answers that tests may change, and string resources from the
// table the programs compile into their resources.
class tPlainPlatform : public tPlatform {
 public:
  int ScreenWidth = 1024, ScreenHeight = 768, ColorBits = 24;
  std::string CommandLineText = "Tavishore32.exe";
  tWindowsVersion Version;
  std::string ThousandSep = ",", DecimalSep = ".";

  void FullScreenSize(int& width, int& height) override;
  int ScreenColorBits() override;
  void ScreenSize(int& width, int& height) override;
  std::string CommandLine() override;
  tWindowsVersion WindowsVersion() override;
  std::string ResourceString(int id) override;
  intptr_t SendWindowMessage(intptr_t window, unsigned message, uintptr_t wparam,
                             intptr_t lparam) override;
  // The classic Windows scheme's colours.
  uint32_t SysColor(int index) override;
  std::string ThousandSeparator() override;
  std::string DecimalSeparator() override;
};
