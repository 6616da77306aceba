#include "shell/uBatchRename.h"

#include <gtest/gtest.h>

#include <set>

TEST(BatchRename, NewNamesPerPage) {
  struct Case {
    const char* what;
    tBatchRenameParams p;
    const char* oldName;
    int renamed;
    bool acts;
    const char* expected;
  };
  auto page = [](int pg) {
    tBatchRenameParams p;
    p.Page = pg;
    return p;
  };
  tBatchRenameParams upper = page(rpCase), lower = page(rpCase);
  upper.CaseIndex = 0;
  lower.CaseIndex = 1;
  tBatchRenameParams base = page(rpBase), emptyBase = page(rpBase);
  base.Base = "  holiday ";
  emptyBase.Base = "   ";
  tBatchRenameParams ext = page(rpExtension), extDot = page(rpExtension),
                     extEmpty = page(rpExtension), extDotted = page(rpExtension);
  ext.Extension = " jpeg ";
  extDot.Extension = ".";
  extDotted.Extension = ".gif";
  tBatchRenameParams rep = page(rpReplace), repEmpty = page(rpReplace);
  rep.Find = "IMG";
  rep.Replace = "pic";
  tBatchRenameParams seq = page(rpSequence);
  seq.Part1 = "  pic";
  seq.Digits = 3;
  seq.Start = 1;
  tBatchRenameParams seqZero = seq;
  seqZero.LeadingZeros = true;
  tBatchRenameParams seqNoPart1 = seq;
  seqNoPart1.Part1 = "";
  seqNoPart1.Part2 = "-x  ";
  seqNoPart1.SequenceExtension = "png";
  tBatchRenameParams seqDot = seqZero;
  seqDot.SequenceExtension = ".";
  const Case cases[] = {
      {"upper", upper, "Photo.jpg", 0, true, "PHOTO.JPG"},
      {"lower", lower, "Photo.JPG", 0, true, "photo.jpg"},
      {"base keeps the extension", base, "dsc01.JPG", 0, true, "holiday.JPG"},
      {"empty base does nothing", emptyBase, "a.gif", 0, false, ""},
      {"extension gets its dot", ext, "a.jpg", 0, true, "a.jpeg"},
      {"extension with dot", extDotted, "a.b.jpg", 0, true, "a.b.gif"},
      {"dot removes the extension", extDot, "a.jpg", 0, true, "a"},
      {"empty removes the extension", extEmpty, "a.jpg", 0, true, "a"},
      {"replace ignores case", rep, "img_1 Img.jpg", 0, true, "pic_1 pic.jpg"},
      {"empty find does nothing", repEmpty, "a.jpg", 0, false, ""},
      {"sequence padded with blanks", seq, "x.gif", 0, true, "pic  1.gif"},
      {"sequence counts renames", seq, "x.gif", 11, true, "pic 12.gif"},
      {"sequence with leading zeros", seqZero, "x.gif", 0, true, "pic001.gif"},
      {"empty part 1 pads with zeros", seqNoPart1, "x.gif", 4, true, "005-x.png"},
      {"sequence keeps a lone dot", seqDot, "x.gif", 0, true, "pic001."},
  };
  for (const Case& c : cases) {
    std::string name;
    EXPECT_EQ(BatchNewName(c.p, c.oldName, c.renamed, name), c.acts) << c.what;
    if (c.acts) {
      EXPECT_EQ(name, c.expected) << c.what;
    }
  }
}

TEST(BatchRename, NormalisedExtension) {
  EXPECT_EQ(NormaliseExtension("", false), "");
  EXPECT_EQ(NormaliseExtension(" . ", false), "");
  EXPECT_EQ(NormaliseExtension(".", true), ".");
  EXPECT_EQ(NormaliseExtension("txt", true), ".txt");
  EXPECT_EQ(NormaliseExtension(" .txt ", false), ".txt");
}

TEST(BatchRename, UnsafeNamesAreNotPlainFileNames) {
  for (const char* bad : {"", ".", "..", "a\\b.jpg", "a/b.jpg", "c:x.jpg", "a*.jpg", "a?.jpg",
                          "a\"b", "a<b", "a>b", "a|b", "a\tb", "trailing.", "trailing "})
    EXPECT_FALSE(IsPlainFileName(bad)) << bad;
  for (const char* good : {"a.jpg", ".hidden", "with space.gif", "ünï.png"})
    EXPECT_TRUE(IsPlainFileName(good)) << good;
}

// A folder of names where a rename fails when the new name is taken.
struct FakeFolder {
  std::set<std::string> names;
  bool Rename(const std::string& from, const std::string& to) {
    if (!names.count(from) || names.count(to)) return false;
    names.erase(from);
    names.insert(to);
    return true;
  }
};

TEST(BatchRename, RunCountsSuccessesOnly) {
  struct Case {
    const char* what;
    tBatchRenameParams p;
    std::vector<std::string> files;
    std::vector<std::string> others;  // in the folder, not in the list
    int expectedCount;
    std::set<std::string> expectedNames;
  };
  tBatchRenameParams base;
  base.Page = rpBase;
  base.Base = "trip";
  tBatchRenameParams lower;
  lower.Page = rpCase;
  tBatchRenameParams seq;
  seq.Page = rpSequence;
  seq.Part1 = "p";
  seq.LeadingZeros = true;
  seq.Digits = 2;
  seq.Start = 1;
  tBatchRenameParams unsafe;
  unsafe.Page = rpReplace;
  unsafe.Find = "_";
  unsafe.Replace = "\\..\\";
  tBatchRenameParams colon = unsafe;
  colon.Replace = ":";
  const Case cases[] = {
      {"common base: the others collide", base, {"a.jpg", "b.jpg", "c.gif"}, {}, 2,
       {"trip.jpg", "b.jpg", "trip.gif"}},
      {"already lower renames nothing", lower, {"a.jpg", "b.jpg"}, {}, 0, {"a.jpg", "b.jpg"}},
      // p02.jpg is taken: y fails, and the number stays at 2 for the next file.
      {"a failed rename uses no number", seq, {"x.jpg", "y.jpg"}, {"p02.jpg"}, 1,
       {"p01.jpg", "y.jpg", "p02.jpg"}},
      {"numbers follow successes", seq, {"x.jpg", "y.jpg", "z.jpg"}, {}, 3,
       {"p01.jpg", "p02.jpg", "p03.jpg"}},
      {"separators in the new name are skipped", unsafe, {"a_b.jpg", "c.jpg"}, {}, 0,
       {"a_b.jpg", "c.jpg"}},
      {"a colon is skipped", colon, {"a_b.jpg"}, {}, 0, {"a_b.jpg"}},
  };
  for (const Case& c : cases) {
    FakeFolder folder{{c.files.begin(), c.files.end()}};
    folder.names.insert(c.others.begin(), c.others.end());
    std::vector<std::pair<std::string, std::string>> told;
    const int n = RunBatchRename(
        c.p, c.files, [&](const std::string& a, const std::string& b) { return folder.Rename(a, b); },
        [&](const std::string& a, const std::string& b) { told.emplace_back(a, b); });
    EXPECT_EQ(n, c.expectedCount) << c.what;
    EXPECT_EQ(folder.names, c.expectedNames) << c.what;
    EXPECT_EQ(static_cast<int>(told.size()), n) << c.what;
  }
}
