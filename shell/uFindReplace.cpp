#include "shell/uFindReplace.h"

#include <memory>
#include <stdexcept>

#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"

int ReplaceInFile(const std::string& path, const std::string& find, const std::string& replace) {
  auto in = OpenFileStream(path);
  std::string text;
  if (!in || !ReadWholeStream(*in, text)) throw std::runtime_error("Cannot read " + path);
  in.reset();
  const int count = ReplaceAllText(text, find, replace);
  if (count == 0) return 0;
  const std::string part = UniqueFileName(path + ".part");
  bool written = false;
  {
    auto out = CreateFileStream(part);
    if (out) {
      tBuffStream buffer(part, std::move(out), true);
      if (!text.empty()) buffer.Write(text.data(), static_cast<int32_t>(text.size()));
      buffer.Flush();
      written = !buffer.AtEnd;
    }
  }
  if (!written || !Platform().ReplaceFile(part, path)) {
    Platform().RemoveFile(part);
    throw std::runtime_error("Cannot write " + path);
  }
  return count;
}

tFindReplaceResult RunFindReplace(const std::string& folder, const std::vector<std::string>& names,
                                  const std::string& find, const std::string& replace) {
  tFindReplaceResult result;
  if (find.empty()) return result;
  result.Log.push_back({{"Find:    ", kLogRed}, {find, kLogBlue}});
  result.Log.push_back({{"Replace: ", kLogRed}, {replace, kLogBlue}});
  for (const std::string& name : names) {
    try {
      const int count = ReplaceInFile(JoinPath(folder, name), find, replace);
      if (count > 0) {
        ++result.ChangedFiles;
        result.Log.push_back({{Format("%.4d %s", {count, name}), kLogBlack}});
      } else {
        result.Log.push_back({{"     " + name, kLogGrey}});
      }
    } catch (const std::exception& e) {
      result.Error = e.what();
      break;
    }
  }
  return result;
}
