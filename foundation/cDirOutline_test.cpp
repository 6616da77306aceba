// The folder outline over a folder tree made for each test, opened through the tree view's own
// messages.
#include "foundation/cDirOutline.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/DialogDriver_test.h"
#include "foundation/cFileCtlProcessPath.h"
#include "foundation/uFiles.h"
#include "framework/Form.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {
// root: Beta, alpha, Gamma (with Sub1 and Sub2), .dot, a file.
std::string MakeTree(const std::string& name) {
  fs::path dir = testsupport::ScratchDir(name);
  for (const char* d : {"Beta", "alpha", "Gamma", "Gamma/Sub2", "Gamma/Sub1", ".dot"})
    fs::create_directories(dir / d);
  testsupport::WriteFile(dir / "file.txt", std::vector<uint8_t>(3, 'x'));
  return dir.string();
}

std::vector<std::string> ChildTexts(TOrvex_DirOutline& o, HTREEITEM node) {
  std::vector<std::string> texts;
  for (HTREEITEM c = reinterpret_cast<HTREEITEM>(
           o.Send(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(node)));
       c; c = reinterpret_cast<HTREEITEM>(
              o.Send(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(c))))
    texts.push_back(o.Text(c));
  return texts;
}

HTREEITEM ChildNamed(TOrvex_DirOutline& o, HTREEITEM node, const std::string& text) {
  for (HTREEITEM c = reinterpret_cast<HTREEITEM>(
           o.Send(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(node)));
       c; c = reinterpret_cast<HTREEITEM>(
              o.Send(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(c))))
    if (o.Text(c) == text) return c;
  return nullptr;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}

struct Host {
  Host() {
    form.SetBounds(60, 60, 300, 400);
    form.Show();
    outline = new TOrvex_DirOutline(&form, &form, 5, 5, 280, 360);
  }
  ~Host() { SetProcessDirectory(saved); }
  std::string saved = ProcessDirectory();
  TForm form{nullptr};
  TOrvex_DirOutline* outline;
};
}  // namespace

TEST(DirOutline, OpensDownToTheFolderAndFillsLazily) {
  std::string dir = MakeTree("outline_open");
  Host h;
  TOrvex_DirOutline& o = *h.outline;
  int changes = 0;
  o.OnChange = [&](TComponent*) { ++changes; };
  o.SetDirectory(dir);
  EXPECT_EQ(o.Directory(), Lower(RemoveBackslash(dir)));
  EXPECT_EQ(Lower(ProcessDirectory()), Lower(RemoveBackslash(dir)));
  HTREEITEM selected = o.Selected();
  ASSERT_NE(selected, nullptr);
  EXPECT_EQ(o.GetItemPath(selected), o.Directory());
  EXPECT_GE(changes, 1);
  // The folder's subfolders are not read until it is opened.
  EXPECT_FALSE(o.Filled(selected));
  EXPECT_TRUE(ChildTexts(o, selected).empty());
  o.Expand(selected);  // TVM_EXPAND: the tree view asks, the outline reads
  EXPECT_TRUE(o.Filled(selected));
  // Lower case, sorted, no names beginning with ".", no files.
  EXPECT_EQ(ChildTexts(o, selected), (std::vector<std::string>{"alpha", "beta", "gamma"}));
  HTREEITEM gamma = ChildNamed(o, selected, "gamma");
  ASSERT_NE(gamma, nullptr);
  EXPECT_FALSE(o.Filled(gamma));
  // Opening a node twice reads it once (it used to add its children again).
  o.Expand(gamma);
  o.Send(TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(gamma));
  o.Expand(gamma);
  o.ExpandChildren(gamma);
  EXPECT_EQ(ChildTexts(o, gamma), (std::vector<std::string>{"sub1", "sub2"}));
  o.ExpandChildren(selected);
  EXPECT_EQ(ChildTexts(o, selected).size(), 3u);
  EXPECT_EQ(ChildTexts(o, gamma).size(), 2u);
  // Choosing a node makes its folder the directory and the process's current folder.
  o.Select(ChildNamed(o, gamma, "sub2"));
  EXPECT_EQ(o.Directory(), Lower(JoinPath(RemoveBackslash(dir), "Gamma\\Sub2")));
  EXPECT_EQ(Lower(ProcessDirectory()), o.Directory());
}

TEST(DirOutline, DrivesAndTextCase) {
  std::string dir = MakeTree("outline_case");
  Host h;
  TOrvex_DirOutline& o = *h.outline;
  o.SetDirectory(dir);
  char drive = o.Drive();
  int changes = 0;
  o.OnChange = [&](TComponent*) { ++changes; };
  o.SetDrive(static_cast<char>(toupper(drive)));  // the same drive in the other case
  o.SetDrive('1');                                // not a drive letter
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(o.Directory(), Lower(RemoveBackslash(dir)));

  SetProcessDirectory(dir);
  o.SetTextCase(TOrvex_DirOutline::tcAsIs);
  HTREEITEM at = o.Selected();
  EXPECT_EQ(Lower(o.GetItemPath(at)), Lower(RemoveBackslash(dir)));
  o.Expand(at);
  EXPECT_EQ(ChildTexts(o, at), (std::vector<std::string>{"Beta", "Gamma", "alpha"}));
  o.SetTextCase(TOrvex_DirOutline::tcUpperCase);
  at = o.Selected();
  o.Expand(at);
  EXPECT_EQ(ChildTexts(o, at), (std::vector<std::string>{"ALPHA", "BETA", "GAMMA"}));
  EXPECT_EQ(o.Text(reinterpret_cast<HTREEITEM>(o.Send(TVM_GETNEXTITEM, TVGN_ROOT, 0))),
            std::string(1, static_cast<char>(toupper(drive))) + ":\\");
}
