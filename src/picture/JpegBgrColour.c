/* A stand-in for libjpeg's colour deconverter (jinit_color_deconverter),
 * which turns a picture's decoded components into the pixels a caller asked
 * for. libjpeg-turbo's own carries every layout it offers (RGB, BGR, with
 * and without a fourth byte, 16-bit RGB565 with and without dithering,
 * CMYK), 8 KB, of which JpegDecoder.cpp asks for one: JCS_EXT_BGR, three
 * bytes a pixel in the order blue, green, red. This one converts to that
 * layout alone, from the colour spaces libjpeg converts to it (YCbCr,
 * grayscale, RGB) with the same integer arithmetic, so every pixel comes out
 * as libjpeg's would; it refuses what libjpeg refuses, with the same errors.
 * Asked for any other layout, it reports "Requested feature was omitted at
 * compile time" (JERR_NOT_COMPILED), like the other parts left out
 * (JpegLeftOut.c). The link renames libjpeg's reference to
 * jinit_color_deconverter to __wrap_jinit_color_deconverter (--wrap, see
 * CMakeLists.txt). */
#define JPEG_INTERNALS
#include <stdio.h>

#include <jpeglib.h>

typedef struct {
  struct jpeg_color_deconverter pub;
  /* YCbCr to RGB, per value of Cb or Cr: the parts of red and blue,
   * rounded, and of green, scaled by 2^16 (the rounding half is in the Cb
   * part). */
  int *cr_red;
  int *cb_blue;
  JLONG *cr_green;
  JLONG *cb_green;
} BgrDeconverter;

#define SCALEBITS 16
#define ONE_HALF ((JLONG)1 << (SCALEBITS - 1))
#define FIX(x) ((JLONG)((x) * (1L << SCALEBITS) + 0.5))

static void BuildYccTables(j_decompress_ptr cinfo, BgrDeconverter *convert)
{
  const size_t count = MAXJSAMPLE + 1;
  int i;
  JLONG x;
  convert->cr_red = (int *)(*cinfo->mem->alloc_small)((j_common_ptr)cinfo, JPOOL_IMAGE, count * sizeof(int));
  convert->cb_blue = (int *)(*cinfo->mem->alloc_small)((j_common_ptr)cinfo, JPOOL_IMAGE, count * sizeof(int));
  convert->cr_green = (JLONG *)(*cinfo->mem->alloc_small)((j_common_ptr)cinfo, JPOOL_IMAGE, count * sizeof(JLONG));
  convert->cb_green = (JLONG *)(*cinfo->mem->alloc_small)((j_common_ptr)cinfo, JPOOL_IMAGE, count * sizeof(JLONG));
  for (i = 0, x = -CENTERJSAMPLE; i <= MAXJSAMPLE; i++, x++) {
    convert->cr_red[i] = (int)RIGHT_SHIFT(FIX(1.40200) * x + ONE_HALF, SCALEBITS);
    convert->cb_blue[i] = (int)RIGHT_SHIFT(FIX(1.77200) * x + ONE_HALF, SCALEBITS);
    convert->cr_green[i] = (-FIX(0.71414)) * x;
    convert->cb_green[i] = (-FIX(0.34414)) * x + ONE_HALF;
  }
}

static void YccToBgr(j_decompress_ptr cinfo, JSAMPIMAGE input_buf, JDIMENSION input_row, JSAMPARRAY output_buf,
                     int num_rows)
{
  const BgrDeconverter *convert = (const BgrDeconverter *)cinfo->cconvert;
  const JSAMPLE *range_limit = cinfo->sample_range_limit;
  while (--num_rows >= 0) {
    const JSAMPLE *luma = input_buf[0][input_row];
    const JSAMPLE *cb = input_buf[1][input_row];
    const JSAMPLE *cr = input_buf[2][input_row];
    JSAMPLE *out = *output_buf++;
    JDIMENSION col;
    input_row++;
    for (col = 0; col < cinfo->output_width; col++) {
      const int y = luma[col];
      /* Limited to 0..255: the DCT's losses can carry a sum beyond it. */
      out[2] = range_limit[y + convert->cr_red[cr[col]]];
      out[1] = range_limit[y + (int)RIGHT_SHIFT(convert->cb_green[cb[col]] + convert->cr_green[cr[col]], SCALEBITS)];
      out[0] = range_limit[y + convert->cb_blue[cb[col]]];
      out += 3;
    }
  }
}

static void GrayToBgr(j_decompress_ptr cinfo, JSAMPIMAGE input_buf, JDIMENSION input_row, JSAMPARRAY output_buf,
                      int num_rows)
{
  while (--num_rows >= 0) {
    const JSAMPLE *in = input_buf[0][input_row++];
    JSAMPLE *out = *output_buf++;
    JDIMENSION col;
    for (col = 0; col < cinfo->output_width; col++) {
      out[0] = out[1] = out[2] = in[col];
      out += 3;
    }
  }
}

static void RgbToBgr(j_decompress_ptr cinfo, JSAMPIMAGE input_buf, JDIMENSION input_row, JSAMPARRAY output_buf,
                     int num_rows)
{
  while (--num_rows >= 0) {
    const JSAMPLE *red = input_buf[0][input_row];
    const JSAMPLE *green = input_buf[1][input_row];
    const JSAMPLE *blue = input_buf[2][input_row];
    JSAMPLE *out = *output_buf++;
    JDIMENSION col;
    input_row++;
    for (col = 0; col < cinfo->output_width; col++) {
      out[2] = red[col];
      out[1] = green[col];
      out[0] = blue[col];
      out += 3;
    }
  }
}

static void StartPass(j_decompress_ptr cinfo) { (void)cinfo; }

void __wrap_jinit_color_deconverter(j_decompress_ptr cinfo)
{
  BgrDeconverter *convert =
    (BgrDeconverter *)(*cinfo->mem->alloc_small)((j_common_ptr)cinfo, JPOOL_IMAGE, sizeof(BgrDeconverter));
  int components = 0; /* that the picture's colour space has; 0: any */
  cinfo->cconvert = &convert->pub;
  convert->pub.start_pass = StartPass;

  switch (cinfo->jpeg_color_space) {
  case JCS_GRAYSCALE:
    components = 1;
    break;
  case JCS_RGB:
  case JCS_YCbCr:
    components = 3;
    break;
  case JCS_CMYK:
  case JCS_YCCK:
    components = 4;
    break;
  default:
    break;
  }
  if (components ? cinfo->num_components != components : cinfo->num_components < 1)
    ERREXIT(cinfo, JERR_BAD_J_COLORSPACE);

  if (cinfo->out_color_space != JCS_EXT_BGR)
    ERREXIT(cinfo, JERR_NOT_COMPILED);
  cinfo->out_color_components = 3;
  if (cinfo->jpeg_color_space == JCS_YCbCr) {
    convert->pub.color_convert = YccToBgr;
    BuildYccTables(cinfo, convert);
  } else if (cinfo->jpeg_color_space == JCS_GRAYSCALE) {
    convert->pub.color_convert = GrayToBgr;
  } else if (cinfo->jpeg_color_space == JCS_RGB) {
    convert->pub.color_convert = RgbToBgr;
  } else {
    ERREXIT(cinfo, JERR_CONVERSION_NOTIMPL);
  }
  cinfo->output_components = cinfo->quantize_colors ? 1 : cinfo->out_color_components;
}
