// Glue between the JPEG library and the program, shared by the JPEG reader and writer: the error
// and message hooks, and the source and destination managers that work directly in a
// tBuffStream's buffer.
//
// A fatal library error leaves the library by longjmp back to the JpegGuard frame that made the
// call. Nothing between that frame and the library holds an object with a destructor, so this is
// defined behaviour whatever unwind information the library was built with (Debian's native
// library, the cross-built Windows ones); C++ exceptions are raised only in our own frames.
#pragma once
#include <csetjmp>
#include <cstddef>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared before it.
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "foundation/uBuffStream.h"
#include "imaging/uGraphic.h"

// The error manager of one library object.
struct tJpegError {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  // Receives the library's messages as "g" information lines; null discards them.
  tGraphicID* target = nullptr;
  // The text of the fatal error, when JpegGuard returned false.
  char message[JMSG_LENGTH_MAX] = {};
};

// The standard error manager with the program's error exit and message output.
jpeg_error_mgr* JpegStdError(tJpegError& err);

// Ends the library call in progress as a fatal error with our own text (from a hook that the
// library called, such as a progress monitor).
[[noreturn]] void JpegFail(j_common_ptr cinfo, const char* text);

// Runs call (library calls only, holding no objects with destructors); false when the library
// ended it with a fatal error, whose text is then in err.message.
template <class F>
[[gnu::noinline]] bool JpegGuard(tJpegError& err, F&& call) {
  if (setjmp(err.jump)) return false;
  call();
  return true;
}

// A decompression object, destroyed with its owner.
struct tJpegDecompress {
  tJpegDecompress();
  ~tJpegDecompress();
  tJpegDecompress(const tJpegDecompress&) = delete;
  tJpegDecompress& operator=(const tJpegDecompress&) = delete;
  jpeg_decompress_struct cinfo;
  tJpegError err;
};

// A compression object, destroyed with its owner.
struct tJpegCompress {
  tJpegCompress();
  ~tJpegCompress();
  tJpegCompress(const tJpegCompress&) = delete;
  tJpegCompress& operator=(const tJpegCompress&) = delete;
  jpeg_compress_struct cinfo;
  tJpegError err;
};

// Attaches the source manager: the library reads id's stream from its current buffer on; with
// bulk (for decoding the whole file) it goes on in large reads into a buffer of its own.
// Library calls (it allocates from the library's pool): run it inside JpegGuard.
void JpegBuffStreamSource(j_decompress_ptr cinfo, tGraphicID& id, bool bulk = false);
// The source manager's id.
tGraphicID& JpegSourceId(j_decompress_ptr cinfo);
// True once the data ran out and a made-up end-of-image marker was handed to the library.
bool JpegSourceAtEnd(j_decompress_ptr cinfo);
// Puts the stream where the library stopped reading, so its Position tells the truth.
void JpegSyncSource(j_decompress_ptr cinfo);

// Attaches the destination manager writing into stream. Run it inside JpegGuard.
void JpegBuffStreamDest(j_compress_ptr cinfo, tBuffStream& stream);
