/* Stand-ins for the parts of libjpeg-turbo that JpegDecoder.cpp never
 * selects, so that the linker leaves those parts out. JpegDecoder keeps
 * libjpeg's defaults: no colour quantization (quantize_colors), fancy rather
 * than merged upsampling (do_fancy_upsampling), the accurate integer IDCT
 * (dct_method) and no scaling (scale_num / scale_denom), so libjpeg calls
 * only jpeg_idct_islow of the inverse DCTs. The link renames each reference
 * to one of the functions below, from NAME to __wrap_NAME (--wrap, see
 * CMakeLists.txt); nothing then refers to libjpeg's own definitions, and they
 * are not linked. Should a caller select one of these parts after all,
 * libjpeg reports "Requested feature was omitted at compile time" through
 * its error manager, as a libjpeg built without the part does. */
#include <stdio.h>

#include <jpeglib.h>
#include <jerror.h>

#define LEFT_OUT_MODULE(name) \
  void __wrap_##name(j_decompress_ptr cinfo) { ERREXIT(cinfo, JERR_NOT_COMPILED); }

#define LEFT_OUT_IDCT(name) \
  void __wrap_##name(j_decompress_ptr cinfo, jpeg_component_info *compptr, \
                     JCOEFPTR coef_block, JSAMPARRAY output_buf, \
                     JDIMENSION output_col) \
  { \
    (void)compptr; \
    (void)coef_block; \
    (void)output_buf; \
    (void)output_col; \
    ERREXIT(cinfo, JERR_NOT_COMPILED); \
  }

LEFT_OUT_MODULE(jinit_1pass_quantizer)
LEFT_OUT_MODULE(jinit_2pass_quantizer)
LEFT_OUT_MODULE(jinit_merged_upsampler)

LEFT_OUT_IDCT(jpeg_idct_ifast)
LEFT_OUT_IDCT(jpeg_idct_float)
LEFT_OUT_IDCT(jpeg_idct_1x1)
LEFT_OUT_IDCT(jpeg_idct_2x2)
LEFT_OUT_IDCT(jpeg_idct_3x3)
LEFT_OUT_IDCT(jpeg_idct_4x4)
LEFT_OUT_IDCT(jpeg_idct_5x5)
LEFT_OUT_IDCT(jpeg_idct_6x6)
LEFT_OUT_IDCT(jpeg_idct_7x7)
LEFT_OUT_IDCT(jpeg_idct_9x9)
LEFT_OUT_IDCT(jpeg_idct_10x10)
LEFT_OUT_IDCT(jpeg_idct_11x11)
LEFT_OUT_IDCT(jpeg_idct_12x12)
LEFT_OUT_IDCT(jpeg_idct_13x13)
LEFT_OUT_IDCT(jpeg_idct_14x14)
LEFT_OUT_IDCT(jpeg_idct_15x15)
LEFT_OUT_IDCT(jpeg_idct_16x16)
