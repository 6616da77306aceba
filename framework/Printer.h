// The printer: a document of pages on the chosen printer (the default one until a print dialog
// picks another), with its title, orientation, device capabilities and abort; the printer's
// text output, where each line goes below the last and a form feed starts a page; and the
// print and printer-setup dialogs.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Canvas.h"

enum TPrinterOrientation { poPortrait, poLandscape };

class TPrinter {
 public:
  TPrinter();
  ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  // The document's name in the spooler.
  std::string Title;
  // A file that receives the printer's output instead of its port ("" for the port).
  std::string OutputFile;

  // The printer to use, by name, with its settings (null: the printer's defaults); an empty
  // name is the default printer.
  void SetDevice(const std::string& name, const DEVMODEW* settings);
  std::string DeviceName();
  // True when a printer can be had at all.
  bool Available();
  // The settings in use (a DEVMODEW with its private part; empty without a printer).
  std::vector<uint8_t> Settings();
  TPrinterOrientation Orientation();
  void SetOrientation(TPrinterOrientation orientation);

  // Starts a document; false when the printer cannot be opened or refuses the job.
  bool BeginDoc();
  void NewPage();
  // Ends the document (nothing after an abort).
  void EndDoc();
  // Throws the document away.
  void Abort();
  bool Printing() const { return printing_; }
  bool Aborted() const { return aborted_; }
  // The page being printed, from 1.
  int PageNumber() const { return page_; }

  int PageWidth() { return DeviceCaps(HORZRES); }
  int PageHeight() { return DeviceCaps(VERTRES); }
  // GetDeviceCaps of the printer (of an information context outside a document).
  int DeviceCaps(int index);
  // The canvas of the document's context; its font is sized for the printer's resolution.
  TCanvas& Canvas() { return canvas_; }
  HDC Handle() const { return dc_; }

 private:
  HDC MakeContext(bool infoOnly);
  void FreeContext();
  std::wstring device_;
  std::vector<uint8_t> settings_;  // a DEVMODEW with its private part
  HDC dc_ = nullptr;
  HDC info_ = nullptr;
  TCanvas canvas_;
  bool printing_ = false, aborted_ = false;
  int page_ = 0;
};

// The program's one printer.
TPrinter& Printer();

// The printer as a text file: Rewrite starts the document, each line is printed in the
// canvas's font below the one before, a line that no longer fits and a line that begins with
// a form feed (12) start the next page, and Close ends the document.
class TPrinterText {
 public:
  explicit TPrinterText(TPrinter& printer) : printer_(printer) {}
  ~TPrinterText();
  bool Rewrite();
  void WriteLine(const std::string& text);
  void Close();

 private:
  void StartPage();
  TPrinter& printer_;
  int y_ = 0, lineHeight_ = 0;
  bool open_ = false;
};

// The system's print dialog: on OK the printer takes the chosen device and settings.
class TPrintDialog {
 public:
  bool Execute(HWND owner);
  int HelpContext = 0;
};

// The system's printer-setup dialog, with the same effect.
class TPrinterSetupDialog {
 public:
  bool Execute(HWND owner);
};
