#include "foundation/cDirOutline.h"

#include "foundation/cDirOutlineRules.h"
#include "foundation/cFileCtlProcessPath.h"
#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"
#include "framework/Canvas.h"
#include "framework/Text.h"

namespace {
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string FullPath(const std::string& path) {
  std::wstring w = Utf8ToWide(path);
  DWORD n = GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  DWORD got = GetFullPathNameW(w.c_str(), n, full.data(), nullptr);
  if (got == 0 || got >= n) return path;
  full.resize(got);
  return WideToUtf8(full);
}
}  // namespace

TOrvex_DirOutline::TOrvex_DirOutline(TComponent* owner, TWindow* parent, int x, int y, int width,
                                     int height)
    : TTreeView(owner, parent, x, y, width, height) {
  // The folder glyphs, their bottom-left pixel's colour taken as transparent.
  for (const char* name : {"CLOSEDFOLDER", "OPENFOLDER"}) {
    TBitmap glyph;
    if (!glyph.LoadFromResourceName(name)) continue;
    TColor transparent = glyph.Canvas().Pixel(0, glyph.Height() - 1);
    glyph.Dormant();
    ImageList_AddMasked(images_.Handle(), glyph.Handle(), transparent);
  }
  if (images_.Count() == 2)
    Send(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.Handle()));
}

TOrvex_DirOutline::~TOrvex_DirOutline() {
  if (HandleAllocated()) Send(TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
}

std::string TOrvex_DirOutline::InCase(const std::string& text) const {
  if (textCase_ == tcAsIs) return text;
  std::wstring w = Utf8ToWide(text);
  if (w.empty()) return text;
  if (textCase_ == tcLowerCase)
    CharLowerBuffW(w.data(), static_cast<DWORD>(w.size()));
  else
    CharUpperBuffW(w.data(), static_cast<DWORD>(w.size()));
  return WideToUtf8(w);
}

std::vector<HTREEITEM> TOrvex_DirOutline::Children(HTREEITEM node) const {
  std::vector<HTREEITEM> list;
  auto next = [this](HTREEITEM from, UINT how) {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(Handle(), TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
  };
  for (HTREEITEM c = next(node, TVGN_CHILD); c; c = next(c, TVGN_NEXT)) list.push_back(c);
  return list;
}

HTREEITEM TOrvex_DirOutline::InsertChild(HTREEITEM parent, HTREEITEM after,
                                         const std::string& text) {
  std::wstring w = Utf8ToWide(text);
  TVINSERTSTRUCTW ins{};
  ins.hParent = parent;
  ins.hInsertAfter = after;
  ins.item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  ins.item.pszText = w.data();
  ins.item.cChildren = 1;  // a button until the folder is read
  ins.item.iImage = 0;
  ins.item.iSelectedImage = 1;
  return reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

std::string TOrvex_DirOutline::GetItemPath(HTREEITEM node) const {
  std::vector<std::string> texts;
  for (HTREEITEM n = node; n;
       n = reinterpret_cast<HTREEITEM>(
           ::SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(n))))
    texts.insert(texts.begin(), Text(n));
  return OutlineItemPath(texts);
}

void TOrvex_DirOutline::AddSubDirectories(HTREEITEM node) {
  if (!node || Filled(node)) return;
  filled_.insert(node);
  std::vector<tFoundItem> found;
  Platform().FindItems(AddBackslash(GetItemPath(node)) + "*.*", found);
  std::vector<HTREEITEM> children = Children(node);
  std::vector<std::string> texts;
  for (HTREEITEM c : children) texts.push_back(Text(c));
  for (const tFoundItem& item : found) {
    if (!(item.Attributes & 16) || item.Name.empty() || item.Name[0] == '.') continue;
    std::string name = InCase(item.Name);
    int at = OutlineInsertIndex(texts, name);
    HTREEITEM after = at == 0 ? TVI_FIRST : children[static_cast<size_t>(at - 1)];
    HTREEITEM child = InsertChild(node, after, name);
    if (!child) continue;
    texts.insert(texts.begin() + at, name);
    children.insert(children.begin() + at, child);
  }
  // A folder without subfolders loses its button.
  TVITEMW item{};
  item.mask = TVIF_CHILDREN;
  item.hItem = node;
  item.cChildren = children.empty() ? 0 : 1;
  Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TOrvex_DirOutline::ExpandChildren(HTREEITEM node) {
  AddSubDirectories(node);
  for (HTREEITEM c : Children(node)) ExpandChildren(c);
}

HTREEITEM TOrvex_DirOutline::OpenPath(const std::string& path) {
  std::vector<HTREEITEM> roots = Children(TVI_ROOT);
  if (roots.empty()) return nullptr;
  HTREEITEM node = roots.front();
  for (const std::string& part : OutlinePathParts(path)) {
    AddSubDirectories(node);
    Expand(node);
    HTREEITEM next = nullptr;
    std::string want = InCase(part);
    for (HTREEITEM c : Children(node))
      if (Text(c) == want) next = c;
    if (!next) break;
    node = next;
  }
  Select(node);
  Send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(node));
  return node;
}

void TOrvex_DirOutline::BuildTree() {
  building_ = true;
  Clear();
  filled_.clear();
  std::string root = InCase(std::string(1, drive_) + ":\\");
  InsertChild(TVI_ROOT, TVI_LAST, root);
  OpenPath(directory_);
  building_ = false;
  Change();
}

void TOrvex_DirOutline::SetDrive(char letter) {
  char upper = Upper(letter);
  if (upper < 'A' || upper > 'Z') return;
  if (drive_ && Upper(drive_) == upper) return;
  drive_ = InCase(std::string(1, letter))[0];
  SetProcessDirectory(std::string(1, letter) + ":\\");
  directory_ = InCase(ProcessDirectory());
  BuildTree();
}

void TOrvex_DirOutline::SetDirectory(const std::string& path) {
  if (path.empty()) return;
  std::string p = path;
  if (!(p.size() >= 2 && p.compare(p.size() - 2, 2, ":\\") == 0)) p = FullPath(p);
  p = RemoveBackslash(InCase(p));
  if (Platform().CompareTextLocale(p, directory_) == 0) return;
  directory_ = p;
  SetProcessDirectory(p);
  if (p.size() >= 2 && p[1] == ':' && drive_ && Upper(p[0]) == Upper(drive_)) {
    OpenPath(p);
    Change();
  } else if (p.size() >= 2 && p[1] == ':' && Upper(p[0]) >= 'A' && Upper(p[0]) <= 'Z') {
    // Another drive: the tree is built on it, opened down to this folder (the drive's root
    // would lose the folder asked for).
    drive_ = p[0];
    BuildTree();
  }
}

void TOrvex_DirOutline::SetTextCase(TTextCase textCase) {
  if (textCase == textCase_) return;
  textCase_ = textCase;
  std::string current = ProcessDirectory();
  if (textCase_ == tcAsIs && !current.empty()) {
    drive_ = current[0];
    directory_ = RemoveBackslash(current);
  } else {
    if (drive_) drive_ = InCase(std::string(1, drive_))[0];
    directory_ = InCase(directory_);
  }
  if (drive_) BuildTree();
}

void TOrvex_DirOutline::Change() {
  if (OnChange) OnChange(this);
}

void TOrvex_DirOutline::Loaded() {
  TTreeView::Loaded();
  if (drive_) return;
  std::string current = ProcessDirectory();
  if (current.size() < 2 || current[1] != ':') return;
  drive_ = InCase(current.substr(0, 1))[0];
  directory_ = RemoveBackslash(InCase(current));
  BuildTree();
}

LRESULT TOrvex_DirOutline::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (message == CN_NOTIFY) {
    auto* n = reinterpret_cast<NMTREEVIEWW*>(l);
    switch (n->hdr.code) {
      case TVN_ITEMEXPANDINGW:
      case TVN_ITEMEXPANDINGA:
        if (n->action & TVE_EXPAND) AddSubDirectories(n->itemNew.hItem);
        break;  // then the tree view's own handling (OnExpanding)
      case TVN_SELCHANGEDW:
      case TVN_SELCHANGEDA:
        if (!building_ && n->itemNew.hItem) SetDirectory(GetItemPath(n->itemNew.hItem));
        return 0;
    }
  }
  return TTreeView::WndProc(message, w, l);
}
