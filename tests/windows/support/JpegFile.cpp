#include "support/JpegFile.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace lumora::test {

namespace {

// The test's encoder only sees pictures it makes itself: an error here is a
// fault of the test, reported without unwinding through libjpeg.
void AbortOnError(j_common_ptr info)
{
    (*info->err->output_message)(info);
    std::abort();
}

}  // namespace

std::vector<unsigned char> EncodeJpeg(int width, int height, const std::function<Rgb(int x, int y)>& colour,
                                      JpegCoding coding)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    errors.error_exit = AbortOnError;
    jpeg_create_compress(&info);

    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    const bool cmyk = coding == JpegCoding::Cmyk;
    info.input_components = cmyk ? 4 : 3;
    info.in_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    if (coding == JpegCoding::Grey)
        jpeg_set_colorspace(&info, JCS_GRAYSCALE);
    if (coding == JpegCoding::RgbComponents)
        jpeg_set_colorspace(&info, JCS_RGB);
    // jpeg_set_defaults halves the colour resolution; Baseline keeps it full.
    if (coding == JpegCoding::Baseline)
        for (int c = 0; c < info.num_components; ++c)
            info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    if (coding == JpegCoding::ProgressiveSubsampled)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);

    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * info.input_components);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            JSAMPLE* const pixel = &row[static_cast<std::size_t>(x) * info.input_components];
            if (cmyk) {
                pixel[0] = static_cast<JSAMPLE>(255 - c.red);
                pixel[1] = static_cast<JSAMPLE>(255 - c.green);
                pixel[2] = static_cast<JSAMPLE>(255 - c.blue);
                pixel[3] = 0;
            } else {
                pixel[0] = c.red;
                pixel[1] = c.green;
                pixel[2] = c.blue;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<unsigned char> file(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return file;
}

}  // namespace lumora::test
