#include "imaging/formats/gJPGLib.h"

#include <cstring>
#include <string>

namespace {

[[noreturn]] void JpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<tJpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void JpegOutputMessage(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<tJpegError*>(cinfo->err);
  if (!err->target) return;
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  // Called from the library's C frames: nothing may leave this function as an exception.
  try {
    err->target->AddInfoLine(std::string("g") + text);
  } catch (...) {
  }
}

// Bytes a decoding source asks of the stream at once: one read instead of sixteen.
constexpr int32_t kBulkBytes = 64 * 1024;

// The source manager: the library's public part, the id whose stream it reads, and whether no
// byte has been delivered yet. A decoding source refills a buffer of its own (bulk, from the
// library's pool) in large reads, whose first byte lies at the stream's logical position
// bulkStart; otherwise it works in the stream's buffer.
struct tSource {
  jpeg_source_mgr pub;
  tGraphicID* id;
  boolean startOfFile;
  boolean atEnd;
  JOCTET* bulk;
  int32_t bulkStart;
};

tSource* Source(j_decompress_ptr cinfo) { return reinterpret_cast<tSource*>(cinfo->src); }

void JpegSourceInit(j_decompress_ptr cinfo) {
  tSource* src = Source(cinfo);
  // Bytes already in the buffer count as the start of the file: a short file that runs out
  // after them is truncated, not empty.
  src->startOfFile = src->pub.bytes_in_buffer == 0;
}

boolean JpegFillInput(j_decompress_ptr cinfo) {
  tSource* src = Source(cinfo);
  tBuffStream& s = *src->id->Stream;
  // The library has taken the whole buffer: so the stream's position counts it.
  const bool inStreamBuffer = src->pub.next_input_byte >= s.Buffer &&
                              src->pub.next_input_byte <= s.Buffer + tBuffStream::kBlockSize;
  if (!src->atEnd && inStreamBuffer) s.Index = s.BytesValid;
  JOCTET* to = src->bulk ? src->bulk : s.Buffer;
  int32_t got = 0;
  if (!src->bulk) {
    s.Fill();
    got = s.BytesValid;
  } else if (!src->atEnd) {
    src->bulkStart = s.Position() - s.Base;
    s.Read(src->bulk, kBulkBytes);
    got = s.LastCount;
  }
  if (got <= 0) {
    if (src->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    WARNMS(cinfo, JWRN_JPEG_EOF);
    // A made-up end-of-image marker lets the library finish with what it has.
    to[0] = 0xFF;
    to[1] = JPEG_EOI;
    src->pub.next_input_byte = to;
    src->pub.bytes_in_buffer = 2;
    src->atEnd = TRUE;
  } else {
    src->pub.next_input_byte = to;
    src->pub.bytes_in_buffer = static_cast<size_t>(got);
  }
  src->startOfFile = FALSE;
  return TRUE;
}

void JpegSkipInput(j_decompress_ptr cinfo, long count) {
  if (count < 1) return;
  tSource* src = Source(cinfo);
  while (count > static_cast<long>(src->pub.bytes_in_buffer)) {
    count -= static_cast<long>(src->pub.bytes_in_buffer);
    (*src->pub.fill_input_buffer)(cinfo);
  }
  src->pub.next_input_byte += count;
  src->pub.bytes_in_buffer -= static_cast<size_t>(count);
}

void JpegTermSource(j_decompress_ptr) {}

// The destination manager: the library's public part and the stream it writes.
struct tDest {
  jpeg_destination_mgr pub;
  tBuffStream* stream;
};

tDest* Dest(j_compress_ptr cinfo) { return reinterpret_cast<tDest*>(cinfo->dest); }

void JpegDestInit(j_compress_ptr cinfo) {
  tDest* dest = Dest(cinfo);
  tBuffStream& s = *dest->stream;
  dest->pub.free_in_buffer = static_cast<size_t>(s.Available());
  dest->pub.next_output_byte = s.Buffer + s.Index;
}

boolean JpegEmptyOutput(j_compress_ptr cinfo) {
  tDest* dest = Dest(cinfo);
  tBuffStream& s = *dest->stream;
  s.Index = tBuffStream::kBlockSize;
  s.Flush();
  if (s.AtEnd) ERREXIT(cinfo, JERR_FILE_WRITE);
  dest->pub.free_in_buffer = static_cast<size_t>(s.Available());
  dest->pub.next_output_byte = s.Buffer + s.Index;
  return TRUE;
}

void JpegTermDest(j_compress_ptr cinfo) {
  tDest* dest = Dest(cinfo);
  tBuffStream& s = *dest->stream;
  s.Index = tBuffStream::kBlockSize - static_cast<int32_t>(dest->pub.free_in_buffer);
  s.Flush();
  if (s.AtEnd) ERREXIT(cinfo, JERR_FILE_WRITE);
}

}  // namespace

[[noreturn]] void JpegFail(j_common_ptr cinfo, const char* text) {
  auto* err = reinterpret_cast<tJpegError*>(cinfo->err);
  std::snprintf(err->message, sizeof err->message, "%s", text);
  std::longjmp(err->jump, 1);
}

jpeg_error_mgr* JpegStdError(tJpegError& err) {
  jpeg_error_mgr* pub = jpeg_std_error(&err.pub);
  pub->error_exit = JpegErrorExit;
  pub->output_message = JpegOutputMessage;
  return pub;
}

tJpegDecompress::tJpegDecompress() {
  // Zeroed, so destroying an object whose creation failed is harmless.
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = JpegStdError(err);
}

tJpegDecompress::~tJpegDecompress() { jpeg_destroy_decompress(&cinfo); }

tJpegCompress::tJpegCompress() {
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = JpegStdError(err);
}

tJpegCompress::~tJpegCompress() { jpeg_destroy_compress(&cinfo); }

void JpegBuffStreamSource(j_decompress_ptr cinfo, tGraphicID& id, bool bulk) {
  if (!cinfo->src) {
    cinfo->src = static_cast<jpeg_source_mgr*>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(tSource)));
  }
  tSource* src = Source(cinfo);
  src->bulk = bulk ? static_cast<JOCTET*>((*cinfo->mem->alloc_large)(
                         reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kBulkBytes))
                   : nullptr;
  src->bulkStart = 0;
  src->pub.init_source = JpegSourceInit;
  src->pub.fill_input_buffer = JpegFillInput;
  src->pub.skip_input_data = JpegSkipInput;
  src->pub.resync_to_restart = jpeg_resync_to_restart;
  src->pub.term_source = JpegTermSource;
  src->id = &id;
  src->startOfFile = TRUE;
  src->atEnd = FALSE;
  tBuffStream& s = *id.Stream;
  const int32_t index = s.Index < 0 || s.Index > s.BytesValid ? s.BytesValid : s.Index;
  src->pub.next_input_byte = s.Buffer + index;
  src->pub.bytes_in_buffer = static_cast<size_t>(s.BytesValid - index);
}

tGraphicID& JpegSourceId(j_decompress_ptr cinfo) { return *Source(cinfo)->id; }

bool JpegSourceAtEnd(j_decompress_ptr cinfo) { return Source(cinfo)->atEnd; }

void JpegSyncSource(j_decompress_ptr cinfo) {
  tSource* src = Source(cinfo);
  if (!src || !src->id->Stream) return;
  tBuffStream& s = *src->id->Stream;
  if (src->atEnd) return;  // the made-up marker is no part of the file
  const uint8_t* p = src->pub.next_input_byte;
  if (p >= s.Buffer && p <= s.Buffer + tBuffStream::kBlockSize) {
    s.Index = static_cast<int32_t>(p - s.Buffer);
  } else if (src->bulk && p >= src->bulk && p <= src->bulk + kBulkBytes) {
    s.Seek(src->bulkStart + static_cast<int32_t>(p - src->bulk));
  }
}

void JpegBuffStreamDest(j_compress_ptr cinfo, tBuffStream& stream) {
  if (!cinfo->dest) {
    cinfo->dest = static_cast<jpeg_destination_mgr*>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(tDest)));
  }
  tDest* dest = Dest(cinfo);
  dest->pub.init_destination = JpegDestInit;
  dest->pub.empty_output_buffer = JpegEmptyOutput;
  dest->pub.term_destination = JpegTermDest;
  dest->stream = &stream;
}
