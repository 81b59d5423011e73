/* A stand-in for libjpeg's jpeg_std_error, for the setup program only: the
 * same error manager without libjpeg's table of message texts (with it,
 * jerror.c brings 6 KB and the printf formatting that fills in the texts).
 * The setup program never shows why a picture could not be decoded: the
 * backdrop is then drawn without it. So a message here is its code alone,
 * "JPEG error N". The packing tool, which does report the reason, keeps
 * libjpeg's own texts. The link renames the references to jpeg_std_error
 * to __wrap_jpeg_std_error (--wrap, see CMakeLists.txt). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jpeglib.h>

static void ExitOnError(j_common_ptr cinfo)
{
  /* JpegDecoder always sets its own error_exit. libjpeg's default ends
   * the program, as this one does: libjpeg must not go on after an error. */
  jpeg_destroy(cinfo);
  abort();
}

static void OutputNothing(j_common_ptr cinfo) { (void)cinfo; }

static void EmitMessage(j_common_ptr cinfo, int level)
{
  struct jpeg_error_mgr *err = cinfo->err;
  if (level < 0) {
    if (err->num_warnings == 0 || err->trace_level >= 3)
      (*err->output_message)(cinfo);
    err->num_warnings++;
  } else if (err->trace_level >= level) {
    (*err->output_message)(cinfo);
  }
}

static void FormatCode(j_common_ptr cinfo, char *buffer)
{
  static const char prefix[] = "JPEG error ";
  char digits[12];
  int count = 0;
  unsigned code = (unsigned)cinfo->err->msg_code;
  do {
    digits[count++] = (char)('0' + code % 10);
    code /= 10;
  } while (code != 0 && count < (int)sizeof digits);
  memcpy(buffer, prefix, sizeof prefix - 1);
  buffer += sizeof prefix - 1;
  while (count > 0)
    *buffer++ = digits[--count];
  *buffer = '\0';
}

static void ResetErrors(j_common_ptr cinfo)
{
  cinfo->err->num_warnings = 0;
  cinfo->err->msg_code = 0;
}

struct jpeg_error_mgr *__wrap_jpeg_std_error(struct jpeg_error_mgr *err)
{
  memset(err, 0, sizeof *err);
  err->error_exit = ExitOnError;
  err->emit_message = EmitMessage;
  err->output_message = OutputNothing;
  err->format_message = FormatCode;
  err->reset_error_mgr = ResetErrors;
  return err;
}
