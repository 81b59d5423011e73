#include "picture/JpegDecoder.h"

// libjpeg reports a fatal error by calling error_exit, which must not return.
// Throwing a C++ exception from there would unwind through libjpeg's frames,
// which are C code compiled without unwind tables: the runtime would call
// std::terminate. So error_exit jumps back with longjmp to a setjmp in the
// small functions below. Between their setjmp and libjpeg's longjmp lie only
// libjpeg's C frames and these functions' trivial locals: nothing is skipped
// that has a destructor. The jump lands in plain code that returns false; the
// C++ caller then throws Error, and the decompressor object, owned by that
// caller, is destroyed as usual.
#include <csetjmp>
#include <cstdio>
#include <limits>
#include <new>
#include <string>

#include <jpeglib.h>

#include "base/Error.h"

namespace lumora {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;  // first: libjpeg sees a pointer to this
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    char firstWarning[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info)
{
    ErrorManager* const errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings and traces are counted by libjpeg, never printed; the text of the
// first warning is kept.
void OutputMessage(j_common_ptr info)
{
    ErrorManager* const errors = reinterpret_cast<ErrorManager*>(info->err);
    if (info->err->num_warnings == 0 && errors->firstWarning[0] == '\0')
        (*info->err->format_message)(info, errors->firstWarning);
}

// The decompressor with its error manager; destroys what libjpeg allocated.
class Decompressor {
public:
    Decompressor()
    {
        info.err = jpeg_std_error(&errors.pub);
        errors.pub.error_exit = ErrorExit;
        errors.pub.output_message = OutputMessage;
        errors.message[0] = '\0';
        errors.firstWarning[0] = '\0';
    }
    ~Decompressor()
    {
        if (created)
            jpeg_destroy_decompress(&info);
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    [[noreturn]] void Fail() const { throw Error(std::string("Invalid JPEG picture: ") + errors.message); }

    jpeg_decompress_struct info{};
    ErrorManager errors{};
    bool created = false;
};

// Each of these returns false when libjpeg has reported an error; its text is
// then in d.errors.message. Only trivial locals: see the note at the top.
bool Create(Decompressor& d)
{
    if (setjmp(d.errors.jump))
        return false;
    jpeg_create_decompress(&d.info);
    d.created = true;
    return true;
}

bool ReadHeader(Decompressor& d, const std::uint8_t* data, unsigned long size)
{
    if (setjmp(d.errors.jump))
        return false;
    jpeg_mem_src(&d.info, data, size);
    jpeg_read_header(&d.info, TRUE);
    return true;
}

bool Start(Decompressor& d)
{
    if (setjmp(d.errors.jump))
        return false;
    d.info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&d.info);
    return true;
}

bool ReadRows(Decompressor& d, std::uint8_t* pixels, std::size_t stride)
{
    if (setjmp(d.errors.jump))
        return false;
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW row = pixels + d.info.output_scanline * stride;
        jpeg_read_scanlines(&d.info, &row, 1);
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

}  // namespace

DecodedJpeg DecodeJpeg(const std::uint8_t* data, std::size_t size)
{
    if (size > std::numeric_limits<unsigned long>::max())
        throw Error("Invalid JPEG picture: the file is too large");
    Decompressor d;
    if (!Create(d) || !ReadHeader(d, data, static_cast<unsigned long>(size)))
        d.Fail();
    const std::uint64_t pixelCount =
        static_cast<std::uint64_t>(d.info.image_width) * static_cast<std::uint64_t>(d.info.image_height);
    if (pixelCount > kMaxJpegPixels)
        throw Error("Invalid JPEG picture: " + std::to_string(d.info.image_width) + " x " +
                    std::to_string(d.info.image_height) + " pixels is too large");
    if (!Start(d))
        d.Fail();

    DecodedJpeg picture;
    picture.width = static_cast<int>(d.info.output_width);
    picture.height = static_cast<int>(d.info.output_height);
    picture.stride = (static_cast<std::size_t>(picture.width) * 3 + 3) & ~static_cast<std::size_t>(3);
    try {
        picture.pixels.assign(picture.stride * static_cast<std::size_t>(picture.height), 0);
    } catch (const std::bad_alloc&) {
        throw Error("Invalid JPEG picture: not enough memory for " + std::to_string(picture.width) + " x " +
                    std::to_string(picture.height) + " pixels");
    }
    if (!ReadRows(d, picture.pixels.data(), picture.stride))
        d.Fail();
    picture.warnings = d.info.err->num_warnings;
    picture.firstWarning = d.errors.firstWarning;
    return picture;
}

}  // namespace lumora
