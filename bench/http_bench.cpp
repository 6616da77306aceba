// Downloads one address into a file with the program's HTTP client and prints the time taken:
//   http_bench URL FILE
#include <windows.h>

#include <cstdio>
#include <memory>

#include "foundation/uBuffStream.h"
#include "online/HttpCli.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: http_bench URL FILE\n");
    return 2;
  }
  std::unique_ptr<TFileStream> file = TFileStream::Open(argv[2], TFileStream::fmCreate);
  if (!file) return 1;
  THttpCli http;
  http.URL = argv[1];
  http.ReceiveStream = file.get();
  http.Timeout = 0;
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&a);
  try {
    http.Get();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "http_bench: %s\n", e.what());
    return 1;
  }
  QueryPerformanceCounter(&b);
  std::printf("%lld bytes in %.3f s\n", static_cast<long long>(http.RcvdCount()),
              double(b.QuadPart - a.QuadPart) / double(f.QuadPart));
  return 0;
}
