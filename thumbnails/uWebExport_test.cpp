#include "thumbnails/uWebExport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "foundation/uIdentity.h"
#include "foundation/uIniFile.h"
#include "imaging/uGraphic.h"
#include "tests/TestSupport.h"

namespace {
namespace fs = std::filesystem;
using testsupport::HaveTool;
using testsupport::HaveTools;
using testsupport::ScratchDir;
using testsupport::TestData;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string U8(const fs::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

// The folder as the build takes it: with its trailing separator.
std::string FolderText(const fs::path& dir) { return U8(dir) + "/"; }

// Loads each page in headless Chromium and reports every picture (its size, or BROKEN), every
// link (ok when its target loads; the status-bar text its mouse-over handler sets, or
// SCRIPT-ERROR when the handler does not compile), every frame and the title.
const char* const kBrowserCheck = R"(<!DOCTYPE html>
<html><body><pre id="out"></pre><iframe id="f" width="800" height="600"></iframe>
<script>
const out = [];
const pages = decodeURIComponent(location.search.slice(1)).split('|');
function reachable(url) {
  try {
    const r = new XMLHttpRequest();
    r.open('GET', url, false);
    r.send();
    return r.responseText.length > 0 ? 'ok' : 'EMPTY';
  } catch (e) { return 'BROKEN'; }
}
function report(page, doc, win) {
  for (const img of doc.images)
    out.push(page + ' img ' + img.getAttribute('src') + ' ' + (img.complete && img.naturalWidth > 0
             ? img.naturalWidth + 'x' + img.naturalHeight : 'BROKEN'));
  for (const a of doc.querySelectorAll('a[href]')) {
    let line = page + ' link ' + a.getAttribute('href') + ' ' + reachable(a.href);
    if (a.getAttribute('onmouseover') !== null) {
      const handler = a.onmouseover;
      line += handler ? ' status=' + (handler.call(a), win.status) : ' status=SCRIPT-ERROR';
    }
    out.push(line);
  }
  for (const fr of doc.querySelectorAll('frame')) {
    const d = fr.contentDocument;
    out.push(page + ' frame ' + fr.getAttribute('src') + ' ' +
             (d && d.body && d.URL.endsWith(fr.getAttribute('src')) ? 'ok' : 'BROKEN'));
  }
  out.push(page + ' title ' + doc.title);
}
let i = 0;
const frame = document.getElementById('f');
function next() {
  if (i >= pages.length) {
    document.getElementById('out').textContent = out.join('\n') + '\nEND';
    return;
  }
  const page = pages[i++];
  frame.onload = () => setTimeout(() => {
    report(page, frame.contentDocument, frame.contentWindow);
    next();
  }, 50);
  frame.src = page.split('/').map(encodeURIComponent).join('/');
}
next();
</script></body></html>
)";

std::string Unescape(std::string text) {
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"&lt;", "<"}, {"&gt;", ">"},
                                 {"&quot;", "\""}, {"&amp;", "&"}})
    for (size_t at; (at = text.find(from)) != std::string::npos;) text.replace(at, from.size(), to);
  return text;
}

// A writable copy: the test files are read-only, and Windows keeps a folder holding a
// read-only file from being removed.
void Copy(const fs::path& from, const fs::path& to) {
  fs::copy_file(from, to);
  fs::permissions(to, fs::perms::owner_write, fs::perm_options::add);
}

class WebExport : public testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterAllFormats(); }

  // A folder of real pictures under awkward names, plus a text and a PNG posing as JPEGs.
  static fs::path MakePictures(fs::path dir = ScratchDir("webexport")) {
    fs::create_directories(dir);
    const std::pair<const char*, const char*> copies[] = {
        {"jpeg/video-001.jpeg", "My Cat's #1 at 100%.jpg"},
        {"gif/flag_fr.gif", "flag fr.gif"},
        {"gif/triangle-001.gif", "Tom & Jerry.GIF"},
        {"jpeg/video-005.gray.jpeg", "grey.jpeg"},
        {"png/basn2c08.png", "png inside.jpg"},
    };
    for (const auto& [from, to] : copies) Copy(TestData(from), dir / to);
    WriteText(dir / "not a picture.jpg", "just some text\r\n");
    return dir;
  }

  // Every page written, in name order, as one text.
  static std::string Site(const fs::path& dir) {
    std::map<std::string, std::string> pages;
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.path().extension() == ".html")
        pages[U8(entry.path().filename())] = ReadText(entry.path());
    std::string text;
    for (const auto& [name, page] : pages) text += "=== " + name + " ===\r\n" + page;
    return text;
  }

  static fs::path Golden(const std::string& name) {
    return fs::path(TAVIS_WEB_GOLDEN) / (name + ".txt");
  }

  // Compares with the stored page texts; TAVIS_UPDATE_GOLDEN=1 rewrites them instead.
  static void ExpectGolden(const std::string& site, const std::string& name) {
    if (std::getenv("TAVIS_UPDATE_GOLDEN") != nullptr) {
      WriteText(Golden(name), site);
      return;
    }
    EXPECT_EQ(site, ReadText(Golden(name))) << name;
  }

  static bool Build(const fs::path& dir, const tWebPageSettings& settings,
                    std::vector<std::string>* log = nullptr, tWebGallery** keep = nullptr) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(U8(entry.path().filename()));
    std::sort(names.begin(), names.end());
    static tWebPictureSource source;
    static std::unique_ptr<tWebGallery> gallery;
    gallery = std::make_unique<tWebGallery>(settings, FolderText(dir), WebGalleryNames(names),
                                            source);
    gallery->OnLog = [log](uint32_t color, const std::string& line) {
      if (log) log->push_back((color == tWebGallery::kLogRed ? "red: " : "") + line);
    };
    if (keep) *keep = gallery.get();
    return gallery->Build();
  }
};

TEST_F(WebExport, Texts) {
  EXPECT_EQ(WebColorText(0x000080), "\"#800000\"");
  EXPECT_EQ(WebColorText(0xFF0000), "\"#0000ff\"");
  EXPECT_EQ(WebColorText(0x12345678), "\"#785634\"");

  const std::pair<const char*, const char*> addresses[] = {
      {"My Pics.html", "My%20Pics.html"},
      {"cat#1.jpg", "cat%231.jpg"},
      {"100%.jpg", "100%25.jpg"},
      {"Tom & Jerry's?.gif", "Tom%20%26%20Jerry%27s%3F.gif"},
      {"caf\xC3\xA9.jpg", "caf%C3%A9.jpg"},
      {"(thm)plain-name_1.jpg", "(thm)plain-name_1.jpg"},
  };
  for (const auto& [name, address] : addresses) EXPECT_EQ(WebAddressText(name), address) << name;

  EXPECT_EQ(WebHtmlText("Tom & Jerry's <b>\"caf\xC3\xA9\"</b>"),
            "Tom &amp; Jerry&#39;s &lt;b&gt;&quot;caf&#233;&quot;&lt;/b&gt;");
  // A broken sequence never swallows the characters after it.
  EXPECT_EQ(WebHtmlText("a\xE9z\xF0\x9F\x98\x80!"), "a&#65533;z&#128512;!");
  EXPECT_EQ(WebUserText("<b>Caf\xC3\xA9</b>"), "<b>Caf&#233;</b>");

  EXPECT_EQ(WebGalleryNames({"a.GIF", "b.Jpeg", "c.jpg", "(THM)a.jpg", "d.png", "e", "f.jpe"}),
            (std::vector<std::string>{"a.GIF", "b.Jpeg", "c.jpg"}));
  EXPECT_EQ(WebThumbnailName("My Cat.jpeg"), "(thm)My Cat.jpg");
  EXPECT_EQ(WebPicturePageName("flag.fr.gif"), "flag.fr.html");
}

TEST_F(WebExport, SettingsKeepTheirKeysDefaultsAndRanges) {
  const fs::path dir = ScratchDir("webexport-ini");
  const std::string file = U8(dir / "Tavishore32.ini");
  {
    TIniFile ini(file);
    tWebPageSettings defaults;
    LoadWebPageSettings(ini, defaults);  // an empty file keeps every default
    EXPECT_EQ(defaults.FileName, "Page0001.html");
    EXPECT_EQ(defaults.Colors[wcThumbRow], 0x000080u);
    SaveWebPageSettings(ini, defaults);
    ASSERT_TRUE(ini.UpdateFile());
  }
  const std::string text = ReadText(dir / "Tavishore32.ini");
  for (const char* line :
       {"[Web Page]\r\nFile name=Page0001.html\r\nTitle=Tavishore 32 web page view\r\n",
        "Main page=ffffff\r\nMain text=000000\r\nMain link=ff0000\r\nMain visited=800080\r\n",
        "Thumbnail color=000080\r\nThumbnail use color=1\r\n", "Link to=1\r\n",
        "Picture image=\r\nPicture page=ffffff\r\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;

  TIniFile ini(file);
  ini.WriteString(kWebPageSection, "Main page", "");         // empty: default
  ini.WriteString(kWebPageSection, "Main text", "zz0000");   // not hexadecimal: 0
  ini.WriteString(kWebPageSection, "Main link", "00ff00");
  ini.WriteInteger(kWebPageSection, "Thumbnail size", 999);  // above the range
  ini.WriteInteger(kWebPageSection, "Link to", 7);
  ini.WriteString(kWebPageSection, "Title", "Holiday");
  tWebPageSettings s;
  s.Colors[wcMainText] = 0x123456;
  LoadWebPageSettings(ini, s);
  EXPECT_EQ(s.Colors[wcMainPage], 0xFFFFFFu);
  EXPECT_EQ(s.Colors[wcMainText], 0u);
  EXPECT_EQ(s.Colors[wcMainLink], 0x00FF00u);
  EXPECT_EQ(s.ThumbSize, 200);
  EXPECT_EQ(s.LinkTo, wlFrame);
  EXPECT_EQ(s.Title, "Holiday");
}

// The pages of three typical builds, byte for byte.
TEST_F(WebExport, PagesMatchTheirGoldenCopies) {
  struct tCase {
    const char* golden;
    std::function<void(tWebPageSettings&)> set;
  };
  const tCase cases[] = {
      {"web_page_links",
       [](tWebPageSettings& s) {
         s.TooltipName = s.TooltipPicture = true;
         s.StatusName = true;
         s.PictureName = true;
         s.Columns = 2;
       }},
      {"web_frames",
       [](tWebPageSettings& s) {
         s.FileName = "C:\\somewhere\\My Pics.htm";
         s.LinkTo = wlFrame;
         s.Title = "Caf\xC3\xA9 <i>trip</i>";
       }},
      {"web_picture_links",
       [](tWebPageSettings& s) {
         s.LinkTo = wlPicture;
         s.Border = 2;
         s.Spacing = 9;
         s.UseRowColor = false;
         s.MainBackground = 0;
         s.MainImage = "flag fr.gif";
         s.Prompt = "";
       }},
  };
  for (const tCase& c : cases) {
    const fs::path dir = MakePictures();
    tWebPageSettings s;
    c.set(s);
    std::vector<std::string> log;
    tWebGallery* gallery = nullptr;
    ASSERT_TRUE(Build(dir, s, &log, &gallery)) << c.golden;
    ExpectGolden(Site(dir), c.golden);
    EXPECT_EQ(log.front(), "Processing pictures...");
    EXPECT_EQ(log.back(), "-- Done --");
    // The PNG under a JPEG name gets its thumbnail but no place on the pages; the text file
    // gets neither.
    EXPECT_TRUE(fs::exists(dir / "(thm)png inside.jpg")) << c.golden;
    EXPECT_FALSE(fs::exists(dir / "(thm)not a picture.jpg")) << c.golden;
    EXPECT_FALSE(fs::exists(dir / "png inside.html")) << c.golden;
    EXPECT_EQ(fs::exists(dir / "(thm)flag fr.jpg"), s.MainImage.empty()) << c.golden;
    EXPECT_EQ(gallery->PictureCount(), s.MainImage.empty() ? 4 : 3) << c.golden;
  }
}

// The thumbnails, read by an independent decoder: JPEGs fitted into the size, grey stays grey.
TEST_F(WebExport, ThumbnailsAreFittedJpegs) {
  if (!HaveTools() || !HaveTool("identify")) GTEST_SKIP() << "needs ImageMagick";
  const fs::path dir = MakePictures();
  tWebPageSettings s;
  s.ThumbSize = 64;
  ASSERT_TRUE(Build(dir, s));
  const std::pair<const char*, const char*> expected[] = {
      {"(thm)My Cat's #1 at 100%.jpg", "JPEG 64x44 sRGB"},
      {"(thm)flag fr.jpg", "JPEG 64x43 sRGB"},  // enlarged, as the fit does
      {"(thm)Tom & Jerry.jpg", "JPEG 64x32 sRGB"},
      {"(thm)grey.jpg", "JPEG 64x44 Gray"},
      {"(thm)png inside.jpg", "JPEG 64x64 sRGB"},
  };
  std::vector<uint8_t> out;
  ASSERT_EQ(testsupport::Run("cd '" + U8(dir) + "' && identify -format '%f: %m %wx%h %[colorspace]\\n' "
                             "'(thm)'*", &out), 0);
  const std::string report(out.begin(), out.end());
  for (const auto& [name, facts] : expected)
    EXPECT_NE(report.find(std::string(name) + ": " + facts + "\n"), std::string::npos)
        << name << "\n" << report;
}

// Each thumbnail's comment, read by Debian's rdjpgcom: the program's name and version, then the
// picture's own comments (a JPEG's, a GIF's).
TEST_F(WebExport, ThumbnailsCarryTheProgramAndThePicturesComments) {
  if (!HaveTools() || !HaveTool("wrjpgcom") || !HaveTool("rdjpgcom") || !HaveTool("convert"))
    GTEST_SKIP() << "needs wrjpgcom, rdjpgcom and ImageMagick";
  const fs::path dir = ScratchDir("webexport-comments");
  const std::string folder = U8(dir);
  ASSERT_EQ(testsupport::Run("cd '" + folder + "' && wrjpgcom -comment 'At the lake' '" +
                             U8(TestData("jpeg/video-001.jpeg")) + "' > lake.jpg && convert '" +
                             U8(TestData("gif/flag_fr.gif")) +
                             "' -set comment 'Flag of France' flag.gif && cp '" +
                             U8(TestData("jpeg/video-005.gray.jpeg")) + "' plain.jpg"),
            0);
  ASSERT_TRUE(Build(dir, tWebPageSettings{}));
  const std::string heading = ProgramNameAndVersion();
  const std::pair<const char*, std::string> expected[] = {
      {"(thm)lake.jpg", heading + "\r\nAt the lake\r\n"},
      {"(thm)flag.jpg", heading + "\r\nFlag of France\r\n"},
      {"(thm)plain.jpg", heading + "\r\n"},
  };
  for (const auto& [name, comment] : expected) {
    std::vector<uint8_t> out;
    ASSERT_EQ(testsupport::Run("rdjpgcom -raw '" + U8(dir / name) + "'", &out), 0) << name;
    EXPECT_EQ(std::string(out.begin(), out.end()), comment + "\n") << name;
  }
}

TEST_F(WebExport, FailuresAndEdges) {
  {  // A blank name writes nothing.
    const fs::path dir = MakePictures();
    tWebPageSettings s;
    s.FileName = "  ";
    std::vector<std::string> log;
    EXPECT_FALSE(Build(dir, s, &log));
    EXPECT_EQ(log, std::vector<std::string>{"red: Fatal error! Output file name is blank."});
    EXPECT_EQ(Site(dir), "");
  }
  {  // No picture survives: head, body, title block and the closing lines.
    const fs::path dir = ScratchDir("webexport-none");
    WriteText(dir / "broken.gif", "no picture at all");
    Copy(TestData("png/basn2c08.png"), dir / "png.jpg");
    tWebPageSettings s;
    ASSERT_TRUE(Build(dir, s));
    const std::string page = ReadText(dir / "Page0001.html");
    EXPECT_EQ(page.find("<td"), std::string::npos);
    EXPECT_NE(page.find("<p>&nbsp;</p>\r\n </tr>\r\n</table>\r\n</center>\r\n\r\n</body>\r\n"
                        "</html>\r\n"),
              std::string::npos);
  }
  {  // cat.gif and cat.jpg share a thumbnail and a page: the later one's files stay.
    const fs::path dir = ScratchDir("webexport-cat");
    Copy(TestData("gif/triangle-001.gif"), dir / "cat.gif");
    Copy(TestData("jpeg/video-001.jpeg"), dir / "cat.jpg");
    tWebPageSettings s;
    tWebGallery* gallery = nullptr;
    ASSERT_TRUE(Build(dir, s, nullptr, &gallery));
    EXPECT_EQ(gallery->PictureCount(), 2);
    EXPECT_NE(ReadText(dir / "cat.html").find("src=\"cat.jpg\""), std::string::npos);
  }
  {  // A rebuild out of frames mode leaves no stale frame pages; one into "Picture" links no
     // stale picture pages.
    const fs::path dir = MakePictures();
    tWebPageSettings s;
    s.Columns = 1;
    s.FileName = "index.html";
    ASSERT_TRUE(Build(dir, s));
    EXPECT_TRUE(fs::exists(dir / "index_left.html"));
    EXPECT_TRUE(fs::exists(dir / "grey.html"));
    EXPECT_NE(ReadText(dir / "grey.html").find("alt=\" Back \""), std::string::npos);
    s.Columns = 3;
    s.LinkTo = wlPicture;
    ASSERT_TRUE(Build(dir, s));
    EXPECT_FALSE(fs::exists(dir / "index_left.html"));
    EXPECT_FALSE(fs::exists(dir / "index_right.html"));
    EXPECT_FALSE(fs::exists(dir / "grey.html"));
  }
}

TEST_F(WebExport, CancelKeepsTheThumbnailsMadeAndWritesNoPage) {
  const fs::path dir = MakePictures();
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(U8(entry.path().filename()));
  std::sort(names.begin(), names.end());
  tWebPictureSource source;
  tWebGallery gallery(tWebPageSettings{}, FolderText(dir), WebGalleryNames(names), source);
  std::vector<std::string> log;
  std::vector<std::pair<int, int>> progress;
  gallery.OnLog = [&](uint32_t color, const std::string& line) {
    log.push_back((color == tWebGallery::kLogRed ? "red: " : "") + line);
  };
  gallery.OnProgress = [&](int done, int total) { progress.emplace_back(done, total); };
  int idle = 0;
  gallery.OnIdle = [&] {
    if (++idle == 2) gallery.Cancelled = true;  // Cancel pressed while the second one is made
  };
  EXPECT_FALSE(gallery.Build());
  EXPECT_EQ(log.back(), "red: Build cancelled.");
  EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{0, 6}, {1, 6}, {2, 6}}));
  int thumbnails = 0;
  for (const auto& entry : fs::directory_iterator(dir))
    thumbnails += U8(entry.path().filename()).starts_with("(thm)");
  EXPECT_EQ(thumbnails, 2);
  EXPECT_EQ(Site(dir), "");
}

TEST_F(WebExport, CellAndFrameWidths) {
  const std::tuple<int, int, int, int> table[] = {
      // size, frame, margin, cell
      {80, 1, 0, 86},
      {32, 0, 0, 36},
      {200, 4, 16, 244},
  };
  for (const auto& [size, frame, margin, cell] : table) {
    tWebPageSettings s;
    s.ThumbSize = size;
    s.Frame = frame;
    s.Margin = margin;
    static tWebPictureSource source;
    EXPECT_EQ(tWebGallery(s, "", {}, source).CellSize(), cell);
  }
  const fs::path dir = MakePictures();
  tWebPageSettings s;
  s.LinkTo = wlFrame;
  ASSERT_TRUE(Build(dir, s));
  EXPECT_NE(ReadText(dir / "Page0001.html").find("<frameset cols=\"106,*\""), std::string::npos);
}

// The pages as a browser sees them: names with spaces, apostrophes, "#", "%" and "&" link,
// show and set their status text; the frameset of a name with a space finds its frames.
TEST_F(WebExport, PagesWorkInABrowser) {
  if (!HaveTools() || !HaveTool("chromium")) GTEST_SKIP() << "needs chromium";
  const fs::path root = ScratchDir("webexport-browser");
  tWebPageSettings links;
  links.TooltipName = links.StatusName = links.StatusPicture = links.PictureName = true;
  tWebPageSettings frames;
  frames.FileName = "My Pics.htm";
  frames.LinkTo = wlFrame;
  frames.Title = "Caf\xC3\xA9";
  tWebPageSettings direct;
  direct.LinkTo = wlPicture;
  direct.MainBackground = 0;
  direct.MainImage = "flag fr.gif";
  std::string pages;
  for (const auto& [sub, settings] : {std::pair{"links", links}, {"frames", frames},
                                      {"direct", direct}}) {
    ASSERT_TRUE(Build(MakePictures(root / sub), settings));
    for (const auto& entry : fs::directory_iterator(root / sub))
      if (entry.path().extension() == ".html")
        pages += (pages.empty() ? "" : "|") + std::string(sub) + "/" + U8(entry.path().filename());
  }
  WriteText(root / "check.html", kBrowserCheck);
  std::string query;
  for (unsigned char c : pages) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%%%02X", c);
    query += std::isalnum(c) ? std::string(1, static_cast<char>(c)) : std::string(hex);
  }
  std::vector<uint8_t> dump;
  ASSERT_EQ(testsupport::Run("timeout 120 chromium --headless --no-sandbox --disable-gpu "
                "--allow-file-access-from-files --virtual-time-budget=5000 --dump-dom 'file://" +
                    U8(root / "check.html") + "?" + query + "' 2>/dev/null",
                &dump),
            0);
  const std::string text(dump.begin(), dump.end());
  const std::string pre = "<pre id=\"out\">";
  const size_t from = text.find(pre), to = text.find("</pre>");
  ASSERT_NE(from, std::string::npos) << text;
  const std::string all = Unescape(text.substr(from + pre.size(), to - from - pre.size()));
  std::istringstream lines(all);
  std::vector<std::string> report;
  for (std::string line; std::getline(lines, line);) report.push_back(line);
  ASSERT_EQ(report.back(), "END");
  const auto has = [&](const std::string& line) {
    return std::find(report.begin(), report.end(), line) != report.end();
  };
  for (const char* bad : {"BROKEN", "EMPTY", "SCRIPT-ERROR"})
    EXPECT_EQ(all.find(bad), std::string::npos) << bad << "\n" << all;
  for (const char* line : {
           "links/Page0001.html img (thm)My%20Cat%27s%20%231%20at%20100%25.jpg 80x55",
           "links/Page0001.html link My%20Cat%27s%20%231%20at%20100%25.html ok "
           "status=My Cat's #1 at 100%.jpg  150x103",
           "links/Page0001.html link Tom%20%26%20Jerry.html ok status=Tom & Jerry.GIF  256x128",
           "links/My Cat's #1 at 100%.html img My%20Cat%27s%20%231%20at%20100%25.jpg 150x103",
           "links/My Cat's #1 at 100%.html link Page0001.html ok",
           "frames/My Pics.html frame My%20Pics_left.html ok",
           "frames/My Pics.html frame My%20Pics_right.html ok",
           "frames/My Pics_left.html img (thm)grey.jpg 80x55",
           "frames/My Pics.html title Caf\xC3\xA9",
           "direct/Page0001.html link Tom%20%26%20Jerry.GIF ok",
       })
    EXPECT_TRUE(has(line)) << line << "\n" << all;
}

}  // namespace
