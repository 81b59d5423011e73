#include "InflateStatus.h"

#include <zlib.h>

namespace setuppack {

std::string InflateStatusText(int status)
{
    switch (status) {
    case Z_OK: return "ok";
    case Z_STREAM_END: return "stream end";
    case Z_NEED_DICT: return "needs a preset dictionary";
    case Z_ERRNO: return "file error";
    case Z_STREAM_ERROR: return "stream error";
    case Z_DATA_ERROR: return "data error (bad header, bad data or Adler-32 mismatch)";
    case Z_MEM_ERROR: return "out of memory";
    case Z_BUF_ERROR: return "input ends before the stream does";
    case Z_VERSION_ERROR: return "zlib version error";
    default: return "status " + std::to_string(status);
    }
}

}  // namespace setuppack
